#pragma once

#include "platform/plist/plist_events.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

// Property-list XML in the plain form library files are written in: UTF-8, elements with
// simple attributes, the predefined entities and character references, comments, CDATA, and
// a DOCTYPE without an internal subset. Reading that form needs none of a general XML
// parser's machinery, and this reader is several times faster than one.
//
// It never judges input it is unsure of: anything outside the plain form, and every error,
// makes it step aside (`Declined`), and the caller reads the input again with libxml2, which
// either accepts it or words the error. So the scanner accepts only documents that libxml2
// accepts too, and reads them to the same values.
class PlainXmlScanner {
public:
    enum class Status { NeedMore, Done, Declined };

    // Scans what it can of `input`, which continues what was consumed before; `consumed` is set
    // to how much of it was used, and the rest must be offered again with more input after it.
    // `last` says the input ends here. A single token larger than `maxToken` is declined.
    Status scan(std::string_view input, bool last, std::size_t& consumed);

    // The document, after `Done`.
    PropertyListReader::Result finish() { return events_.finish({}); }

    static constexpr std::size_t maxToken = std::size_t{8} << 20;
    // Deeper documents are left to libxml2, whose own limit is a little above this.
    static constexpr std::size_t maxOpenElements = 200;

private:
    enum class Place { Start, BeforeRoot, InRoot, AfterRoot };
    enum class Step { Ok, NeedMore, Decline };

    Step markup(std::string_view in, std::size_t& p, bool last);
    Step startTag(std::string_view in, std::size_t& p);
    Step endTag(std::string_view in, std::size_t& p, std::string_view text);
    Step leafText(std::string_view in, std::size_t& p, bool last);

    PlistEvents events_;
    Place place_ = Place::Start;
    bool sawDoctype_ = false;
    std::vector<PlistElement> open_;
    // A leaf's text when it comes in pieces or holds references; otherwise the leaf's text is
    // handed over straight from the input.
    std::string text_;
    bool textPending_ = false;
};

// Runs a scanner over a stream. `buffer` holds `have` bytes already read and sets the size of
// each read; it grows only for a token larger than itself. `read` works like read(2). Null
// when the scanner stepped aside; `readFailed` tells a failed read from that.
std::shared_ptr<const plist::Document> scanPlainXml(std::string buffer, std::size_t have,
                                                    const std::function<long(char*, std::size_t)>& read,
                                                    bool& readFailed);

} // namespace platter
