#pragma once

#include "core/plist/document.h"

#include <memory>
#include <string>
#include <string_view>

namespace platter {

// Reads property lists in any format the platform knows (XML and binary).
class PropertyListReader {
public:
    struct Result {
        std::shared_ptr<const plist::Document> document; // null on failure
        std::string error;                               // why, when it failed
    };

    virtual ~PropertyListReader() = default;
    virtual Result readFile(const std::string& path) const = 0;
    virtual Result parse(std::string_view bytes) const = 0;
};

} // namespace platter
