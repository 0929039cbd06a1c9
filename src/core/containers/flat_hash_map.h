#pragma once

// An open-addressing hash map for the model's large lookup tables (hundreds of thousands of
// songs by track ID and by persistent ID). Entries sit in one array, so a lookup costs one cache
// miss where a node-based map costs three; with a library's size that is most of the build's
// lookup time. Entries are never erased: the tables are rebuilt with the model.

#include <bit>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

namespace platter {

template <class Key, class Value, class Hash = std::hash<Key>> class FlatHashMap {
public:
    void reserve(std::size_t count) {
        if (count * 2 > slots_.size()) rehash(std::bit_ceil(std::max<std::size_t>(16, count * 2)));
    }

    // The value under `key`, inserted default-constructed when missing.
    Value& operator[](const Key& key) {
        if ((size_ + 1) * 2 > slots_.size()) rehash(std::max<std::size_t>(16, slots_.size() * 2));
        const auto h = mixed(key);
        for (auto i = slotOf(h);; i = (i + 1) & (slots_.size() - 1)) {
            auto& s = slots_[i];
            if (!s.used) {
                s.used = true;
                s.hash = h;
                s.key = key;
                ++size_;
                return s.value;
            }
            if (s.hash == h && s.key == key) return s.value;
        }
    }

    const Value* find(const Key& key) const {
        if (slots_.empty()) return nullptr;
        const auto h = mixed(key);
        for (auto i = slotOf(h);; i = (i + 1) & (slots_.size() - 1)) {
            const auto& s = slots_[i];
            if (!s.used) return nullptr;
            if (s.hash == h && s.key == key) return &s.value;
        }
    }
    const Value& at(const Key& key) const {
        if (const auto* v = find(key)) return *v;
        throw std::out_of_range("FlatHashMap::at");
    }
    bool contains(const Key& key) const { return find(key) != nullptr; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

private:
    struct Slot {
        std::uint64_t hash = 0;
        bool used = false;
        Key key{};
        Value value{};
    };

    // The hash's low bits pick the slot. Text hashes are well mixed already, and the
    // library's mostly sequential track IDs then land in neighbouring slots, which keeps a
    // build that inserts them in order within the cache.
    static std::uint64_t mixed(const Key& key) { return static_cast<std::uint64_t>(Hash{}(key)); }
    std::size_t slotOf(std::uint64_t h) const { return static_cast<std::size_t>(h) & (slots_.size() - 1); }

    void rehash(std::size_t capacity) {
        std::vector<Slot> old(capacity);
        old.swap(slots_);
        for (auto& s : old) {
            if (!s.used) continue;
            for (auto i = slotOf(s.hash);; i = (i + 1) & (slots_.size() - 1)) {
                if (slots_[i].used) continue;
                slots_[i] = std::move(s);
                break;
            }
        }
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
};

} // namespace platter
