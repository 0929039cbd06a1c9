#include "platform/plist/plist_file_reader.h"

#include "core/plist/base64.h"
#include "core/plist/date_text.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <libxml/parser.h>
#include <memory>
#include <mutex>
#include <plist/plist.h>
#include <unistd.h>

namespace platter {

namespace {

using plist::DocumentBuilder;

constexpr std::string_view binaryMagic = "bplist00";
constexpr std::size_t chunkSize = 1 << 18;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// Decimal or 0x-hexadecimal, signed; values above INT64_MAX are kept unsigned.
bool addInteger(std::string_view text, DocumentBuilder& b) {
    auto s = trimmed(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    std::uint64_t magnitude = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (s.empty() || r.ec != std::errc{} || r.ptr != s.data() + s.size()) return false;
    if (!negative) return b.unsignedInteger(magnitude);
    if (magnitude > static_cast<std::uint64_t>(INT64_MAX) + 1) return false;
    return b.integer(static_cast<std::int64_t>(0 - magnitude));
}

bool addReal(std::string_view text, DocumentBuilder& b) {
    auto s = trimmed(text);
    if (s == "+infinity" || s == "+inf") return b.real(HUGE_VAL);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double value = 0;
    // from_chars, unlike strtod, ignores the process locale's decimal separator.
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || r.ec != std::errc{} || r.ptr != s.data() + s.size()) return false;
    return b.real(value);
}

class SaxParse {
public:
    enum class Leaf { None, Key, String, Integer, Real, Date, Data, True, False };

    SaxParse() {
        handler_.initialized = XML_SAX2_MAGIC;
        handler_.startElementNs = &SaxParse::onStart;
        handler_.endElementNs = &SaxParse::onEnd;
        handler_.characters = &SaxParse::onText;
        handler_.cdataBlock = &SaxParse::onText;
        handler_.serror = &SaxParse::onError;
    }
    ~SaxParse() {
        if (ctxt_) xmlFreeParserCtxt(ctxt_);
    }
    SaxParse(const SaxParse&) = delete;
    SaxParse& operator=(const SaxParse&) = delete;

    // Parses what `read` delivers until it returns 0 (end) or -1 (error); libxml2 pulls the
    // input in its own buffer-sized pieces.
    using ReadFn = int (*)(void* source, char* buffer, int size);
    void run(ReadFn read, void* source) {
        ctxt_ = xmlCreateIOParserCtxt(&handler_, this, read, nullptr, source, XML_CHAR_ENCODING_NONE);
        if (!ctxt_) return void(fail("cannot create the XML parser"));
        xmlCtxtUseOptions(ctxt_, XML_PARSE_NONET | XML_PARSE_NOCDATA);
        xmlParseDocument(ctxt_);
    }

    PropertyListReader::Result finish() {
        if (error_.empty() && ctxt_ && !ctxt_->wellFormed) error_ = "not well-formed XML";
        if (error_.empty() && !sawPlist_) error_ = "not a property list";
        auto doc = error_.empty() ? builder_.finish() : nullptr;
        if (!doc && error_.empty()) error_ = "the property list holds no complete value";
        return {std::move(doc), error_};
    }

private:
    static SaxParse& self(void* ctx) { return *static_cast<SaxParse*>(ctx); }

    bool fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        if (ctxt_) xmlStopParser(ctxt_);
        return false;
    }

    enum class Element { Dict, Array, Key, String, Integer, Real, Date, Data, True, False, Plist, Other };

    static Element classify(std::string_view n) {
        static constexpr std::pair<std::string_view, Element> names[] = {
            {"key", Element::Key},     {"string", Element::String}, {"integer", Element::Integer},
            {"dict", Element::Dict},   {"date", Element::Date},     {"true", Element::True},
            {"false", Element::False}, {"array", Element::Array},   {"real", Element::Real},
            {"data", Element::Data},   {"plist", Element::Plist}};
        for (const auto& [name, element] : names)
            if (name == n) return element;
        return Element::Other;
    }

    // libxml2 hands every element name out of its own dictionary, so a name is known by its
    // address after the first time: no text comparison per element.
    Element element(const xmlChar* localname) {
        for (std::size_t i = 0; i < knownCount_; ++i)
            if (known_[i].first == localname) return known_[i].second;
        const auto e = classify(reinterpret_cast<const char*>(localname));
        if (knownCount_ < std::size(known_)) known_[knownCount_++] = {localname, e};
        return e;
    }

    static void onStart(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar*, int,
                        const xmlChar**, int, int, const xmlChar**) {
        auto& p = self(ctx);
        if (!p.error_.empty()) return;
        const auto e = p.element(localname);
        const auto unexpected = [&] {
            p.fail("unexpected <" + std::string(reinterpret_cast<const char*>(localname)) + ">");
        };
        if (p.leaf_ != Leaf::None) return unexpected();
        ++p.elements_;
        bool ok = true;
        switch (e) {
        case Element::Dict:
            ok = p.builder_.beginDict();
            break;
        case Element::Array:
            ok = p.builder_.beginArray();
            break;
        case Element::Key:
            p.leaf_ = Leaf::Key;
            break;
        case Element::String:
            p.leaf_ = Leaf::String;
            break;
        case Element::Integer:
            p.leaf_ = Leaf::Integer;
            break;
        case Element::Real:
            p.leaf_ = Leaf::Real;
            break;
        case Element::Date:
            p.leaf_ = Leaf::Date;
            break;
        case Element::Data:
            p.leaf_ = Leaf::Data;
            break;
        case Element::True:
            p.leaf_ = Leaf::True;
            break;
        case Element::False:
            p.leaf_ = Leaf::False;
            break;
        case Element::Plist:
            ok = p.elements_ == 1;
            break;
        case Element::Other:
            ok = false;
            break;
        }
        if (!ok) return unexpected();
        // The root is the <plist> element, or a bare container as some writers leave it.
        if (p.elements_ == 1 && (e == Element::Plist || e == Element::Dict || e == Element::Array))
            p.sawPlist_ = true;
        p.text_.clear();
    }

    static void onEnd(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar*) {
        auto& p = self(ctx);
        if (!p.error_.empty()) return;
        --p.elements_;
        const auto leaf = p.leaf_;
        p.leaf_ = Leaf::None;
        auto& b = p.builder_;
        bool ok = true;
        switch (leaf) {
        case Leaf::None: {
            const auto e = p.element(localname);
            if (e == Element::Dict || e == Element::Array) ok = b.end();
            break;
        }
        case Leaf::Key:
            ok = b.key(p.text_);
            break;
        case Leaf::String:
            ok = b.string(p.text_);
            break;
        case Leaf::Integer:
            ok = addInteger(p.text_, b);
            break;
        case Leaf::Real:
            ok = addReal(p.text_, b);
            break;
        case Leaf::True:
            ok = b.boolean(true);
            break;
        case Leaf::False:
            ok = b.boolean(false);
            break;
        case Leaf::Date: {
            const auto d = plist::parseDate(p.text_);
            ok = d && b.date(*d);
            break;
        }
        case Leaf::Data: {
            const auto bytes = plist::decodeBase64(p.text_);
            ok = bytes && b.data(*bytes);
            break;
        }
        }
        if (!ok) {
            const auto line = p.ctxt_ ? xmlSAX2GetLineNumber(p.ctxt_) : 0;
            p.fail("malformed value or structure at line " + std::to_string(line));
        }
    }

    static void onText(void* ctx, const xmlChar* ch, int len) {
        auto& p = self(ctx);
        if (!p.error_.empty()) return;
        const std::string_view text(reinterpret_cast<const char*>(ch), static_cast<std::size_t>(len));
        if (p.leaf_ != Leaf::None)
            p.text_.append(text);
        else if (!trimmed(text).empty())
            p.fail("stray text outside a value");
    }

    static void onError(void* ctx, xmlError* error) {
        if (!error || error->level < XML_ERR_ERROR) return;
        std::string message = error->message ? error->message : "XML error";
        while (!message.empty() && isSpace(message.back()))
            message.pop_back();
        self(ctx).fail(message + " at line " + std::to_string(error->line));
    }

    xmlSAXHandler handler_{};
    xmlParserCtxtPtr ctxt_ = nullptr;
    DocumentBuilder builder_;
    std::string text_;
    Leaf leaf_ = Leaf::None;
    std::pair<const xmlChar*, Element> known_[16] = {};
    std::size_t knownCount_ = 0;
    int elements_ = 0;
    bool sawPlist_ = false;
    std::string error_;
};

// libplist's tree, walked into a document with the same depth bound as the XML path.
bool convert(plist_t node, DocumentBuilder& b) {
    if (b.depth() >= DocumentBuilder::maxDepth) return false;
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        if (!b.beginDict()) return false;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        bool ok = true;
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!value) {
                std::free(key);
                break;
            }
            ok = b.key(key ? key : "") && convert(value, b);
            std::free(key);
            if (!ok) break;
        }
        std::free(it);
        return ok && b.end();
    }
    case PLIST_ARRAY: {
        if (!b.beginArray()) return false;
        const auto n = plist_array_get_size(node);
        for (std::uint32_t i = 0; i < n; ++i)
            if (!convert(plist_array_get_item(node, i), b)) return false;
        return b.end();
    }
    case PLIST_STRING: {
        char* s = nullptr;
        plist_get_string_val(node, &s);
        const bool ok = b.string(s ? s : "");
        std::free(s);
        return ok;
    }
    case PLIST_UINT: {
        // libplist keeps every integer unsigned; the file's 8-byte integers are signed.
        std::uint64_t v = 0;
        plist_get_uint_val(node, &v);
        return b.integer(static_cast<std::int64_t>(v));
    }
    case PLIST_REAL: {
        double v = 0;
        plist_get_real_val(node, &v);
        return b.real(v);
    }
    case PLIST_BOOLEAN: {
        std::uint8_t v = 0;
        plist_get_bool_val(node, &v);
        return b.boolean(v != 0);
    }
    case PLIST_DATE: {
        std::int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        constexpr std::int64_t from2001 = 978307200;
        return b.date(plist::Date{from2001 + sec});
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        std::uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        const bool ok = b.data(std::string_view(bytes ? bytes : "", bytes ? length : 0));
        std::free(bytes);
        return ok;
    }
    default:
        return false;
    }
}

PropertyListReader::Result parseBinary(std::string_view bytes) {
    if (bytes.size() > UINT32_MAX) return {nullptr, "binary property list too large"};
    plist_t root = nullptr;
    plist_from_bin(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    if (!root) return {nullptr, "malformed binary property list"};
    DocumentBuilder builder;
    const bool ok = convert(root, builder);
    plist_free(root);
    auto doc = ok ? builder.finish() : nullptr;
    if (!doc) return {nullptr, "binary property list nested too deeply or malformed"};
    return {std::move(doc), {}};
}

// A file read straight into the parser's buffer, without a stdio buffer in between.
struct FileSource {
    explicit FileSource(const std::string& path) : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~FileSource() {
        if (fd >= 0) ::close(fd);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // Like read(2), but -1 is remembered and retried never; EINTR is retried.
    long read(char* buffer, std::size_t size) {
        for (;;) {
            const auto n = ::read(fd, buffer, size);
            if (n >= 0 || errno != EINTR) {
                if (n < 0) error = errno;
                return n;
            }
        }
    }

    int fd;
    int error = 0;
};

} // namespace

PlistFileReader::PlistFileReader() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

PropertyListReader::Result PlistFileReader::parse(std::string_view bytes) const {
    if (bytes.starts_with(binaryMagic)) return parseBinary(bytes);
    SaxParse p;
    p.run(
        [](void* source, char* buffer, int size) {
            auto& rest = *static_cast<std::string_view*>(source);
            const auto n = std::min(rest.size(), static_cast<std::size_t>(size));
            std::memcpy(buffer, rest.data(), n);
            rest.remove_prefix(n);
            return static_cast<int>(n);
        },
        &bytes);
    return p.finish();
}

PropertyListReader::Result PlistFileReader::readFile(const std::string& path) const {
    FileSource file(path);
    if (file.fd < 0) return {nullptr, path + ": " + std::strerror(errno)};
    const auto readError = [&] { return Result{nullptr, path + ": " + std::strerror(file.error)}; };
    std::string head(binaryMagic.size(), '\0');
    std::size_t have = 0;
    while (have < head.size()) {
        const auto n = file.read(head.data() + have, head.size() - have);
        if (n < 0) return readError();
        if (n == 0) break;
        have += static_cast<std::size_t>(n);
    }
    head.resize(have);
    if (head == binaryMagic) {
        std::string all = head;
        std::string chunk(chunkSize, '\0');
        for (long n; (n = file.read(chunk.data(), chunk.size())) != 0;) {
            if (n < 0) return readError();
            all.append(chunk.data(), static_cast<std::size_t>(n));
        }
        return parseBinary(all);
    }
    // Streamed: the file is never held in memory as a whole.
    struct Stream {
        std::string_view head;
        FileSource& file;
    } stream{head, file};
    SaxParse p;
    p.run(
        [](void* source, char* buffer, int size) {
            auto& s = *static_cast<Stream*>(source);
            if (!s.head.empty()) {
                const auto n = std::min(s.head.size(), static_cast<std::size_t>(size));
                std::memcpy(buffer, s.head.data(), n);
                s.head.remove_prefix(n);
                return static_cast<int>(n);
            }
            return static_cast<int>(s.file.read(buffer, static_cast<std::size_t>(size)));
        },
        &stream);
    auto result = p.finish();
    if (file.error) result = readError();
    return result;
}

} // namespace platter
