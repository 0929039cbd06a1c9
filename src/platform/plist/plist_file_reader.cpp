#include "platform/plist/plist_file_reader.h"

#include "platform/plist/binary_plist.h"
#include "platform/plist/plain_xml_scanner.h"
#include "platform/plist/plist_events.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libxml/parser.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace platter {

namespace {

constexpr std::string_view binaryMagic = "bplist00";
constexpr std::size_t chunkSize = 1 << 18;
constexpr std::uint64_t maxBinarySize = std::uint64_t{256} << 20;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class SaxParse {
public:
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
        return events_.finish(error_);
    }

private:
    static SaxParse& self(void* ctx) { return *static_cast<SaxParse*>(ctx); }

    bool fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        if (ctxt_) xmlStopParser(ctxt_);
        return false;
    }

    // libxml2 hands every element name out of its own dictionary, so a name is known by its
    // address after the first time: no text comparison per element.
    PlistElement element(const xmlChar* localname) {
        for (std::size_t i = 0; i < knownCount_; ++i)
            if (known_[i].first == localname) return known_[i].second;
        const auto e = classifyPlistElement(reinterpret_cast<const char*>(localname));
        if (knownCount_ < std::size(known_)) known_[knownCount_++] = {localname, e};
        return e;
    }

    static void onStart(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar*, int,
                        const xmlChar**, int, int, const xmlChar**) {
        auto& p = self(ctx);
        if (!p.error_.empty()) return;
        if (!p.events_.start(p.element(localname)))
            return void(p.fail("unexpected <" + std::string(reinterpret_cast<const char*>(localname)) + ">"));
        p.text_.clear();
    }

    static void onEnd(void* ctx, const xmlChar* localname, const xmlChar*, const xmlChar*) {
        auto& p = self(ctx);
        if (!p.error_.empty()) return;
        if (!p.events_.end(p.element(localname), p.text_)) {
            const auto line = p.ctxt_ ? xmlSAX2GetLineNumber(p.ctxt_) : 0;
            p.fail("malformed value or structure at line " + std::to_string(line));
        }
    }

    static void onText(void* ctx, const xmlChar* ch, int len) {
        auto& p = self(ctx);
        if (!p.error_.empty()) return;
        const std::string_view text(reinterpret_cast<const char*>(ch), static_cast<std::size_t>(len));
        if (p.events_.inLeaf())
            p.text_.append(text);
        else if (!std::all_of(text.begin(), text.end(), isSpace))
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
    PlistEvents events_;
    std::string text_;
    std::pair<const xmlChar*, PlistElement> known_[16] = {};
    std::size_t knownCount_ = 0;
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

// libxml2 sets itself up on first use unless told to first, and that is not thread-safe.
static void initLibxml2() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

PlistFileReader::PlistFileReader() {
    initLibxml2();
}

PropertyListReader::Result PlistFileReader::parse(std::string_view bytes) const {
    if (bytes.starts_with(binaryMagic)) return parseBinaryPlist(bytes);
    PlainXmlScanner scanner;
    std::size_t used = 0;
    if (scanner.scan(bytes, true, used) == PlainXmlScanner::Status::Done)
        if (auto result = scanner.finish(); result.document) return result;
    return parseWithLibxml2(bytes);
}

PropertyListReader::Result PlistFileReader::parseWithLibxml2(std::string_view bytes) {
    initLibxml2();
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
    std::string buffer(chunkSize, '\0');
    std::size_t end = 0;
    while (end < binaryMagic.size()) {
        const auto n = file.read(buffer.data() + end, chunkSize - end);
        if (n < 0) return readError();
        if (n == 0) break;
        end += static_cast<std::size_t>(n);
    }
    if (std::string_view(buffer.data(), end).starts_with(binaryMagic)) {
        // The binary form is read whole; a library in it is a fraction of its XML size.
        if (file.fileSize > maxBinarySize)
            return {nullptr, path + ": binary property list larger than " + std::to_string(maxBinarySize >> 20) +
                                 " MB"};
        buffer.resize(end);
        buffer.reserve(file.fileSize);
        std::string chunk(chunkSize, '\0');
        for (long n; (n = file.read(chunk.data(), chunk.size())) != 0;) {
            if (n < 0) return readError();
            buffer.append(chunk.data(), static_cast<std::size_t>(n));
        }
        return parseBinaryPlist(buffer);
    }
    // Streamed through a buffer that holds only what the scanner has not yet used: the file
    // is never held in memory as a whole.
    bool readFailed = false;
    auto document = scanPlainXml(
        std::move(buffer), end, [&](char* into, std::size_t room) { return file.read(into, room); },
        readFailed);
    if (readFailed) return readError();
    if (document) return {std::move(document), {}};
    // libxml2 reads the file from its start when the scanner stepped aside.
    if (::lseek(file.fd, 0, SEEK_SET) != 0) return {nullptr, path + ": " + std::strerror(errno)};
    SaxParse p;
    p.run(
        [](void* source, char* into, int size) {
            return static_cast<int>(
                static_cast<FileSource*>(source)->read(into, static_cast<std::size_t>(size)));
        },
        &file);
    auto result = p.finish();
    if (file.error) result = readError();
    return result;
}

} // namespace platter
