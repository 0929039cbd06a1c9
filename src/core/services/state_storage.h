#pragma once

#include <string>
#include <string_view>

namespace platter {

// The folder the state lives in (shuffled orders, play positions): small files by relative
// name, each replaced whole and atomically, so a kill at any moment leaves either the old or
// the new file. One background thread may write while the main thread reads other names.
class StateStorage {
public:
    struct ReadResult {
        enum class Status { Found, Missing, Failed };
        Status status = Status::Missing;
        std::string bytes;
        std::string error; // why, when Failed
    };

    virtual ~StateStorage() = default;
    virtual ReadResult read(const std::string& name) const = 0;
    // An explanation on failure, empty on success.
    virtual std::string write(const std::string& name, std::string_view bytes) = 0;
    // Removing a file that is not there succeeds.
    virtual std::string remove(const std::string& name) = 0;
};

} // namespace platter
