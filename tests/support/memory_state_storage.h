#pragma once

#include "core/services/state_storage.h"

#include <map>
#include <mutex>

namespace platter {

// State kept in memory only: for tools that must not touch the user's state, and tests.
class MemoryStateStorage final : public StateStorage {
public:
    ReadResult read(const std::string& name) const override {
        std::lock_guard lock(mutex_);
        const auto it = files.find(name);
        if (it == files.end()) return {};
        return {ReadResult::Status::Found, it->second, {}};
    }
    std::string write(const std::string& name, std::string_view bytes) override {
        std::lock_guard lock(mutex_);
        ++writes[name];
        if (!failWrites.empty()) return failWrites;
        files[name] = std::string(bytes);
        return {};
    }
    std::string remove(const std::string& name) override {
        std::lock_guard lock(mutex_);
        files.erase(name);
        return {};
    }

    std::map<std::string, std::string> files;
    std::map<std::string, int> writes;
    std::string failWrites; // the error every write fails with, when set

private:
    mutable std::mutex mutex_;
};

} // namespace platter
