#pragma once

// A small mutable property-list value, for documents the program writes itself (the settings
// store, exported playlists). A value may also stand for a whole subtree of a read Document,
// so an export can carry a track dictionary exactly as it was read without copying it.

#include "core/plist/document.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace platter::plist {

struct Data {
    std::string bytes;
    friend bool operator==(const Data&, const Data&) = default;
};

class Value;
using Array = std::vector<Value>;
using Dict = std::vector<std::pair<std::string, Value>>; // keeps the order keys were set in

class Value {
public:
    using Storage = std::variant<Dict, Array, std::string, std::int64_t, double, bool, Date, Data, NodeRef>;

    Value() : v_(Dict{}) {}
    Value(Dict d) : v_(std::move(d)) {}
    Value(Array a) : v_(std::move(a)) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(std::int64_t i) : v_(i) {}
    Value(int i) : v_(std::int64_t{i}) {}
    Value(double r) : v_(r) {}
    Value(bool b) : v_(b) {}
    Value(Date d) : v_(d) {}
    Value(Data d) : v_(std::move(d)) {}
    Value(NodeRef n) : v_(n) {}

    template <class T> bool is() const { return std::holds_alternative<T>(v_); }
    template <class T> const T* get() const { return std::get_if<T>(&v_); }
    template <class T> T* get() { return std::get_if<T>(&v_); }
    const Storage& storage() const { return v_; }

    // A deep copy of a read subtree into plain values.
    static Value copyOf(NodeRef node);

private:
    Storage v_;
};

// Dictionary helpers; a key is present at most once.
const Value* find(const Dict& dict, std::string_view key);
Value* find(Dict& dict, std::string_view key);
void set(Dict& dict, std::string_view key, Value value);
bool erase(Dict& dict, std::string_view key);

} // namespace platter::plist
