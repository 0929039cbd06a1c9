#pragma once

// Writes XML property lists in the layout the music library application writes: the XML
// declaration, the Apple PLIST 1.0 doctype, tab indentation, a scalar on its key's line.

#include "core/plist/value.h"

#include <string>

namespace platter::plist {

std::string writeXml(const Value& root);

} // namespace platter::plist
