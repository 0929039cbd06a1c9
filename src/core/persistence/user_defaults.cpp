#include "core/persistence/user_defaults.h"

namespace platter {

UserDefaults::UserDefaults(SettingsFile& file) : file_(file), loaded_(file.load()) {}

const plist::Value* UserDefaults::objectForKey(std::string_view key) const {
    return plist::find(loaded_.values, key);
}

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const {
    const auto* v = objectForKey(key);
    const auto* s = v ? v->get<std::string>() : nullptr;
    return s ? std::optional(*s) : std::nullopt;
}

void UserDefaults::setObject(std::string_view key, plist::Value value) {
    plist::set(loaded_.values, key, std::move(value));
}

void UserDefaults::removeObjectForKey(std::string_view key) {
    plist::erase(loaded_.values, key);
}

bool UserDefaults::synchronize() {
    return file_.save(loaded_.values);
}

} // namespace platter
