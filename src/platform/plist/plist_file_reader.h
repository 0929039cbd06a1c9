#pragma once

#include "core/services/property_list_reader.h"

namespace platter {

// XML property lists are read with libxml2's streaming SAX2 parser straight into a compact
// document, never through a DOM: a large library is hundreds of megabytes of XML. Binary
// property lists, which are small, go through libplist.
class PlistFileReader final : public PropertyListReader {
public:
    PlistFileReader();
    Result readFile(const std::string& path) const override;
    Result parse(std::string_view bytes) const override;
};

} // namespace platter
