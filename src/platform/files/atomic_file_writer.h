#pragma once

#include "core/services/file_writer.h"
#include "platform/files/atomic_file.h"

namespace platter {

class AtomicFileWriter final : public FileWriter {
public:
    std::string writeAtomically(const std::string& path, std::string_view contents) override {
        return writeFileAtomically(path, contents);
    }
};

} // namespace platter
