#include "core/plist/value.h"

#include <algorithm>
#include <unordered_map>

namespace platter::plist {

Value Value::copyOf(NodeRef node) {
    switch (node.type()) {
    case Type::Dict: {
        // A key given twice keeps its last value, in its first place. Found through an index,
        // not a scan per key: a settings file can hold a hundred thousand orders.
        Dict d;
        d.reserve(node.size());
        std::unordered_map<std::string_view, std::size_t> placeOf;
        placeOf.reserve(node.size());
        for (std::size_t i = 0; i < node.size(); ++i) {
            const auto [place, fresh] = placeOf.try_emplace(node.keyAt(i), d.size());
            if (fresh)
                d.emplace_back(std::string(node.keyAt(i)), copyOf(node.at(i)));
            else
                d[place->second].second = copyOf(node.at(i));
        }
        return d;
    }
    case Type::Array: {
        Array a;
        a.reserve(node.size());
        for (std::size_t i = 0; i < node.size(); ++i)
            a.push_back(copyOf(node.at(i)));
        return a;
    }
    case Type::String:
        return std::string(node.string());
    case Type::Integer:
        return node.integer();
    case Type::Real:
        return node.real();
    case Type::Boolean:
        return node.boolean();
    case Type::Date:
        return node.date();
    case Type::Data:
        return Data{std::string(node.data())};
    }
    return {};
}

namespace {
template <class D> auto locate(D& dict, std::string_view key) {
    return std::find_if(dict.begin(), dict.end(), [&](const auto& e) { return e.first == key; });
}
} // namespace

const Value* find(const Dict& dict, std::string_view key) {
    const auto it = locate(dict, key);
    return it == dict.end() ? nullptr : &it->second;
}

Value* find(Dict& dict, std::string_view key) {
    const auto it = locate(dict, key);
    return it == dict.end() ? nullptr : &it->second;
}

void set(Dict& dict, std::string_view key, Value value) {
    if (const auto it = locate(dict, key); it != dict.end())
        it->second = std::move(value);
    else
        dict.emplace_back(std::string(key), std::move(value));
}

bool erase(Dict& dict, std::string_view key) {
    const auto it = locate(dict, key);
    if (it == dict.end()) return false;
    dict.erase(it);
    return true;
}

} // namespace platter::plist
