#pragma once

#include "core/services/settings_file.h"

namespace platter {

// Settings kept in memory only: for tools that must not touch the user's settings, and tests.
class MemorySettingsFile final : public SettingsFile {
public:
    MemorySettingsFile() = default;
    explicit MemorySettingsFile(plist::Dict initial) : values(std::move(initial)), exists(true) {}

    LoadResult load() override {
        ++loads;
        return {exists ? Status::Loaded : Status::Missing, values, {}};
    }
    bool save(const plist::Dict& v) override {
        ++saves;
        if (failSaves) return false;
        values = v;
        exists = true;
        return true;
    }

    std::string keepCopy() override {
        copies.push_back(values);
        return "settings copy " + std::to_string(copies.size());
    }

    plist::Dict values;
    std::vector<plist::Dict> copies;
    bool exists = false;
    bool failSaves = false;
    int loads = 0;
    int saves = 0;
};

} // namespace platter
