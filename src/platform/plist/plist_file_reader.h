#pragma once

#include "core/services/property_list_reader.h"

namespace platter {

// XML property lists are streamed straight into a compact document, never through a DOM: a
// large library is hundreds of megabytes of XML. The plain form they are written in is read
// by a scanner of our own; anything else, and every error, by libxml2's SAX2 parser. Binary
// property lists have a bounded reader of their own.
class PlistFileReader final : public PropertyListReader {
public:
    PlistFileReader();
    Result readFile(const std::string& path) const override;
    Result parse(std::string_view bytes) const override;
    // The general path alone, for checking the scanner against it.
    static Result parseWithLibxml2(std::string_view bytes);
};

} // namespace platter
