#include "platform/plist/plain_xml_scanner.h"

#include "platform/plist/utf8.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>

namespace platter {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == ':';
}

bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Bytes of text that need a second look: references, markup, the end of a CDATA section, line
// ends to normalise, control characters, and everything beyond ASCII.
constexpr auto textSpecial = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[static_cast<std::size_t>(c)] = c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == ']';
    t['\t'] = t['\n'] = false;
    return t;
}();

// The length of the XML character encoded in UTF-8 at the start of `s`, or 0 when there is
// none: malformed or overlong UTF-8, a surrogate, U+FFFE, U+FFFF or a control character.
std::size_t xmlCharLength(std::string_view s) {
    const auto* u = reinterpret_cast<const unsigned char*>(s.data());
    const auto n = s.size();
    const unsigned c = u[0];
    if (c < 0x80) return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' ? 1 : 0;
    const auto follows = [&](std::size_t count) {
        for (std::size_t i = 1; i <= count; ++i)
            if (i >= n || (u[i] & 0xC0) != 0x80) return false;
        return true;
    };
    if (c >= 0xC2 && c <= 0xDF) return follows(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!follows(2) || (c == 0xE0 && u[1] < 0xA0) || (c == 0xED && u[1] >= 0xA0) ||
            (c == 0xEF && u[1] == 0xBF && u[2] >= 0xBE))
            return 0;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!follows(3) || (c == 0xF0 && u[1] < 0x90) || (c == 0xF4 && u[1] >= 0x90)) return 0;
        return 4;
    }
    return 0;
}

bool validChars(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto n = xmlCharLength(s.substr(i));
        if (n == 0) return false;
        i += n;
    }
    return true;
}

bool appendCodePoint(std::string& out, std::uint32_t cp) {
    const bool xmlChar = cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
                         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
    if (!xmlChar) return false;
    encodeUtf8(out, cp);
    return true;
}

// `&name;` without its ampersand and semicolon.
bool appendReference(std::string& out, std::string_view name) {
    static constexpr std::pair<std::string_view, char> predefined[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [n, c] : predefined)
        if (name == n) return out += c, true;
    if (name.size() < 2 || name[0] != '#') return false;
    name.remove_prefix(1);
    int base = 10;
    if (name[0] == 'x') {
        base = 16;
        name.remove_prefix(1);
    }
    std::uint32_t cp = 0;
    const auto r = std::from_chars(name.data(), name.data() + name.size(), cp, base);
    return !name.empty() && r.ec == std::errc{} && r.ptr == name.data() + name.size() &&
           appendCodePoint(out, cp);
}

// Appends text with its line ends normalised, as XML reads them, and, unless it is a CDATA
// section, with its references replaced. False on anything a conforming parser refuses.
bool appendText(std::string& out, std::string_view raw, bool references) {
    std::size_t i = 0;
    while (i < raw.size()) {
        auto j = i;
        while (j < raw.size() && !textSpecial[static_cast<unsigned char>(raw[j])])
            ++j;
        out.append(raw, i, j - i);
        i = j;
        if (i == raw.size()) break;
        const char c = raw[i];
        if (c == '\r') {
            out += '\n';
            i += i + 1 < raw.size() && raw[i + 1] == '\n' ? 2u : 1u;
        } else if (references && c == '&') {
            const auto semicolon = raw.find(';', i);
            if (semicolon == std::string_view::npos || semicolon - i > 12 ||
                !appendReference(out, raw.substr(i + 1, semicolon - i - 1)))
                return false;
            i = semicolon + 1;
        } else if (references && (c == '<' || raw.substr(i).starts_with("]]>"))) {
            return false;
        } else {
            const auto n = xmlCharLength(raw.substr(i));
            if (n == 0) return false;
            out.append(raw, i, n);
            i += n;
        }
    }
    return true;
}

bool isPubidChar(char c, char quote) {
    static constexpr std::string_view marks = " \r\n-'()+,./:=?;!*#@$_%";
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           (c != quote && marks.find(c) != std::string_view::npos);
}

// A cursor over the inside of one tag.
struct TagReader {
    std::string_view s;
    std::size_t i = 0;

    bool spaces() {
        const auto start = i;
        while (i < s.size() && isSpace(s[i]))
            ++i;
        return i > start;
    }
    bool word(std::string_view w) {
        if (!s.substr(i).starts_with(w)) return false;
        i += w.size();
        return true;
    }
    std::string_view name() {
        const auto start = i;
        while (i < s.size() && isNameChar(s[i]))
            ++i;
        if (i == start || !isNameStart(s[start])) return {};
        return s.substr(start, i - start);
    }
    // A quoted literal of printable ASCII, or of public-identifier characters.
    std::optional<std::string_view> literal(bool pubid = false) {
        if (i >= s.size() || (s[i] != '"' && s[i] != '\'')) return std::nullopt;
        const char quote = s[i++];
        const auto close = s.find(quote, i);
        if (close == std::string_view::npos) return std::nullopt;
        const auto value = s.substr(i, close - i);
        for (const char c : value)
            if (pubid ? !isPubidChar(c, quote) : (c < 0x20 || c > 0x7E || c == '<' || c == '&'))
                return std::nullopt;
        i = close + 1;
        return value;
    }
    bool atEnd() const { return i == s.size(); }
};

// Attributes as `name="value"`, without namespaces, references or anything beyond ASCII.
bool plainAttributes(std::string_view s) {
    TagReader r{s};
    std::array<std::string_view, 4> seen;
    std::size_t count = 0;
    for (;;) {
        const bool spaced = r.spaces();
        if (r.atEnd()) return true;
        const auto name = r.name();
        if (!spaced || name.empty() || name.find(':') != std::string_view::npos || name.starts_with("xml") ||
            count == seen.size())
            return false;
        for (std::size_t k = 0; k < count; ++k)
            if (seen[k] == name) return false;
        seen[count++] = name;
        r.spaces();
        if (!r.word("=")) return false;
        r.spaces();
        if (!r.literal()) return false;
    }
}

// `<!DOCTYPE name>`, with a public or a system identifier; never an internal subset.
bool plainDoctype(std::string_view s) {
    TagReader r{s};
    if (!r.spaces() || r.name().empty()) return false;
    if (r.spaces()) {
        if (r.word("PUBLIC")) {
            if (!r.spaces() || !r.literal(true) || !r.spaces() || !r.literal()) return false;
        } else if (r.word("SYSTEM")) {
            if (!r.spaces() || !r.literal()) return false;
        }
        r.spaces();
    }
    return r.atEnd();
}

// `<?xml version="1.0" encoding="UTF-8" standalone="yes"?>` without its `<?xml` and `?>`.
bool plainDeclaration(std::string_view s) {
    TagReader r{s};
    const auto pseudoAttribute = [&](std::string_view name) -> std::optional<std::string_view> {
        const auto at = r.i;
        if (!r.spaces() || !r.word(name)) return r.i = at, std::nullopt;
        r.spaces();
        if (!r.word("=")) return std::nullopt;
        r.spaces();
        return r.literal();
    };
    if (pseudoAttribute("version") != "1.0") return false;
    const auto at = r.i;
    if (const auto encoding = pseudoAttribute("encoding")) {
        if (encoding->size() != 5) return false;
        for (std::size_t k = 0; k < 5; ++k)
            if ((*encoding)[k] != "UTF-8"[k] && (*encoding)[k] != "utf-8"[k]) return false;
    } else if (r.i != at) {
        return false;
    }
    const auto beforeStandalone = r.i;
    if (const auto standalone = pseudoAttribute("standalone")) {
        if (*standalone != "yes" && *standalone != "no") return false;
    } else if (r.i != beforeStandalone) {
        return false;
    }
    r.spaces();
    return r.atEnd();
}

} // namespace

PlainXmlScanner::Status PlainXmlScanner::scan(std::string_view in, bool last, std::size_t& consumed) {
    std::size_t p = 0;
    const auto result = [&](Status s) {
        consumed = p;
        return s;
    };
    if (place_ == Place::Start) {
        if (in.size() < 8 && !last) return result(Status::NeedMore);
        if (in.starts_with("\xEF\xBB\xBF")) p = 3;
        if (in.substr(p).starts_with("<?xml")) {
            const auto close = in.find("?>", p);
            if (close == std::string_view::npos) return result(last ? Status::Declined : Status::NeedMore);
            if (!plainDeclaration(in.substr(p + 5, close - p - 5))) return result(Status::Declined);
            p = close + 2;
        } else if (p >= in.size() || in[p] != '<' || in.substr(p).starts_with("<?")) {
            // Another encoding, or text before the first element: libxml2 knows what to make of it.
            return result(Status::Declined);
        }
        place_ = Place::BeforeRoot;
    }
    while (p < in.size()) {
        Step step = Step::Ok;
        if (events_.inLeaf()) {
            step = leafText(in, p, last);
        } else if (in[p] == '<') {
            step = markup(in, p, last);
        } else if (isSpace(in[p])) {
            ++p;
            continue;
        } else {
            return result(Status::Declined);
        }
        if (step == Step::Decline) return result(Status::Declined);
        if (step == Step::NeedMore)
            return result(last || in.size() - p > maxToken ? Status::Declined : Status::NeedMore);
    }
    if (!last) return result(Status::NeedMore);
    return result(place_ == Place::AfterRoot ? Status::Done : Status::Declined);
}

PlainXmlScanner::Step PlainXmlScanner::markup(std::string_view in, std::size_t& p, bool last) {
    if (in.size() - p < 2) return Step::NeedMore;
    switch (in[p + 1]) {
    case '/':
        return endTag(in, p, {});
    case '?':
        return Step::Decline;
    case '!':
        break;
    default:
        return startTag(in, p);
    }
    const auto rest = in.substr(p);
    if (rest.starts_with("<!--")) {
        const auto dashes = in.find("--", p + 4);
        if (dashes == std::string_view::npos || dashes + 2 >= in.size()) return Step::NeedMore;
        if (in[dashes + 2] != '>' || !validChars(in.substr(p + 4, dashes - p - 4))) return Step::Decline;
        p = dashes + 3;
        return Step::Ok;
    }
    if (rest.starts_with("<![CDATA[")) {
        const auto close = in.find("]]>", p + 9);
        if (close == std::string_view::npos) return Step::NeedMore;
        if (!events_.inLeaf() || !appendText(text_, in.substr(p + 9, close - p - 9), false))
            return Step::Decline;
        textPending_ = true;
        p = close + 3;
        return Step::Ok;
    }
    if (rest.starts_with("<!DOCTYPE")) {
        const auto close = in.find('>', p);
        if (close == std::string_view::npos) return Step::NeedMore;
        if (place_ != Place::BeforeRoot || sawDoctype_ || !plainDoctype(in.substr(p + 9, close - p - 9)))
            return Step::Decline;
        sawDoctype_ = true;
        p = close + 1;
        return Step::Ok;
    }
    return rest.size() < 9 && !last ? Step::NeedMore : Step::Decline;
}

PlainXmlScanner::Step PlainXmlScanner::startTag(std::string_view in, std::size_t& p) {
    const auto close = in.find('>', p + 1);
    if (close == std::string_view::npos) return Step::NeedMore;
    auto tag = in.substr(p + 1, close - p - 1);
    const bool empty = tag.ends_with('/');
    if (empty) tag.remove_suffix(1);
    std::size_t nameEnd = 0;
    while (nameEnd < tag.size() && isNameChar(tag[nameEnd]))
        ++nameEnd;
    const auto e = classifyPlistElement(tag.substr(0, nameEnd));
    if (e == PlistElement::Other || (nameEnd < tag.size() && !plainAttributes(tag.substr(nameEnd))) ||
        place_ == Place::AfterRoot || open_.size() >= maxOpenElements || !events_.start(e))
        return Step::Decline;
    place_ = Place::InRoot;
    if (empty) {
        if (!events_.end(e, {})) return Step::Decline;
        if (open_.empty()) place_ = Place::AfterRoot;
    } else {
        open_.push_back(e);
    }
    p = close + 1;
    return Step::Ok;
}

PlainXmlScanner::Step PlainXmlScanner::endTag(std::string_view in, std::size_t& p, std::string_view text) {
    const auto close = in.find('>', p + 2);
    if (close == std::string_view::npos) return Step::NeedMore;
    auto name = in.substr(p + 2, close - p - 2);
    while (!name.empty() && isSpace(name.back()))
        name.remove_suffix(1);
    if (open_.empty() || classifyPlistElement(name) != open_.back() || !events_.end(open_.back(), text))
        return Step::Decline;
    open_.pop_back();
    if (open_.empty()) place_ = Place::AfterRoot;
    text_.clear();
    textPending_ = false;
    p = close + 1;
    return Step::Ok;
}

PlainXmlScanner::Step PlainXmlScanner::leafText(std::string_view in, std::size_t& p, bool last) {
    auto q = p;
    while (q < in.size() && !textSpecial[static_cast<unsigned char>(in[q])])
        ++q;
    if (q + 1 < in.size() && in[q] == '<' && in[q + 1] == '/' && !textPending_) {
        // The common case: the leaf's whole text, plain, handed over without a copy.
        auto r = q;
        const auto step = endTag(in, r, in.substr(p, q - p));
        if (step == Step::Ok) p = r;
        return step;
    }
    q = in.find('<', q);
    if (q == std::string_view::npos || q + 1 >= in.size()) return Step::NeedMore;
    // Text in pieces, or text to decode, is gathered first. Nothing is consumed until the
    // markup after it is complete, so no piece is appended twice.
    const auto had = text_.size();
    const bool hadPending = textPending_;
    if (!appendText(text_, in.substr(p, q - p), true)) return Step::Decline;
    textPending_ = true;
    auto r = q;
    const auto step = in[q + 1] == '/' ? endTag(in, r, text_) : markup(in, r, last);
    if (step == Step::NeedMore) {
        text_.resize(had);
        textPending_ = hadPending;
    }
    if (step == Step::Ok) p = r;
    return step;
}

std::shared_ptr<const plist::Document> scanPlainXml(std::string buffer, std::size_t have,
                                                    const std::function<long(char*, std::size_t)>& read,
                                                    bool& readFailed) {
    readFailed = false;
    PlainXmlScanner scanner;
    std::size_t begin = 0;
    for (bool last = false;;) {
        std::size_t used = 0;
        const auto status = scanner.scan(std::string_view(buffer.data() + begin, have - begin), last, used);
        begin += used;
        if (status == PlainXmlScanner::Status::Done) return scanner.finish().document;
        if (status == PlainXmlScanner::Status::Declined) return nullptr;
        std::memmove(buffer.data(), buffer.data() + begin, have - begin);
        have -= begin;
        begin = 0;
        if (have == buffer.size()) buffer.resize(buffer.size() * 2);
        const auto n = read(buffer.data() + have, buffer.size() - have);
        if (n < 0) return readFailed = true, nullptr;
        have += static_cast<std::size_t>(n);
        last = n == 0;
    }
}

} // namespace platter
