#pragma once

// Writes XML property lists in the layout the music library application writes: the XML
// declaration, the Apple PLIST 1.0 doctype, tab indentation, a scalar on its key's line.

#include "core/plist/value.h"

#include <string>

namespace platter::plist {

std::string writeXml(const Value& root);

// Appends text as element content. Characters XML 1.0 cannot carry at all are left out; the
// markup characters are written as numeric references, as the library application does.
void appendXmlText(std::string& out, std::string_view text);

} // namespace platter::plist
