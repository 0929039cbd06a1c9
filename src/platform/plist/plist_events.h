#pragma once

#include "core/plist/document.h"
#include "core/services/property_list_reader.h"

#include <string>
#include <string_view>

namespace platter {

enum class PlistElement { Dict, Array, Key, String, Integer, Real, Date, Data, True, False, Plist, Other };

PlistElement classifyPlistElement(std::string_view name);

// The property-list format over a stream of XML elements: which element may stand where and
// what a leaf's text means. Both XML readers feed it, so they cannot disagree on a document.
class PlistEvents {
public:
    // False when the element may not stand here.
    bool start(PlistElement e);
    // `text` is a leaf's whole text; false when it is no value of the leaf's type.
    bool end(PlistElement e, std::string_view text);
    bool inLeaf() const { return leaf_ != PlistElement::Other; }

    // The document, or the reason there is none; `error` is a failure already found.
    PropertyListReader::Result finish(std::string error);

private:
    plist::DocumentBuilder builder_;
    PlistElement leaf_ = PlistElement::Other;
    int elements_ = 0;
    bool sawRoot_ = false;
};

} // namespace platter
