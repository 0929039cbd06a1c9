#include "platform/plist/plist_file_reader.h"

#include "core/plist/base64.h"
#include "core/plist/date_text.h"
#include "platform/plist/binary_plist.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <libxml/parser.h>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace platter {

namespace {

using plist::DocumentBuilder;

constexpr std::string_view binaryMagic = "bplist00";
constexpr std::size_t chunkSize = 1 << 18;
constexpr std::uint64_t maxBinarySize = std::uint64_t{256} << 20;

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

// A regular file read straight into the parser's buffer, without a stdio buffer in between.
// Anything else (a FIFO would block the reader for ever, a device never ends) is refused
// before a byte is read: opened without blocking, then looked at.
struct FileSource {
    explicit FileSource(const std::string& path) : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
        if (fd < 0) return;
        struct ::stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            fd = -1;
            notRegular = true;
            return;
        }
        fileSize = static_cast<std::uint64_t>(st.st_size);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
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
    bool notRegular = false;
    std::uint64_t fileSize = 0;
};

} // namespace

PlistFileReader::PlistFileReader() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

PropertyListReader::Result PlistFileReader::parse(std::string_view bytes) const {
    if (bytes.starts_with(binaryMagic)) return parseBinaryPlist(bytes);
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
    if (file.notRegular) return {nullptr, path + ": not a regular file"};
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
        // The binary form is read whole; a library in it is a fraction of its XML size.
        if (file.fileSize > maxBinarySize)
            return {nullptr, path + ": binary property list larger than " + std::to_string(maxBinarySize >> 20) +
                                 " MB"};
        std::string all = head;
        all.reserve(file.fileSize);
        std::string chunk(chunkSize, '\0');
        for (long n; (n = file.read(chunk.data(), chunk.size())) != 0;) {
            if (n < 0) return readError();
            all.append(chunk.data(), static_cast<std::size_t>(n));
        }
        return parseBinaryPlist(all);
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
