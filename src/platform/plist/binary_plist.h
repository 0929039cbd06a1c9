#pragma once

#include "core/services/property_list_reader.h"

#include <string_view>

namespace platter {

// Reads the binary property list format ("bplist00") into a document, bounded like the XML
// reader: nesting depth, and the number of values once shared objects are expanded (a few
// hundred bytes can refer to one object billions of times). Text is made valid UTF-8 as it
// is read: bytes and code units that are not become U+FFFD, so nothing read from such a file
// can make a file written from it unreadable.
PropertyListReader::Result parseBinaryPlist(std::string_view bytes);

} // namespace platter
