#pragma once

#include <string>
#include <string_view>

namespace platter {

// Writes files the user asked for (exports).
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Replaces the file at `path` whole or not at all; an explanation on failure, else empty.
    virtual std::string writeAtomically(const std::string& path, std::string_view contents) = 0;
};

} // namespace platter
