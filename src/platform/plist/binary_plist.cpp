#include "platform/plist/binary_plist.h"

#include "platform/plist/utf8.h"

#include <cmath>
#include <cstring>
#include <optional>

namespace platter {

namespace {

using plist::DocumentBuilder;

constexpr std::string_view replacement = "\xEF\xBF\xBD"; // U+FFFD
constexpr std::size_t trailerSize = 32;

void appendUtf8(std::string& out, char32_t c) {
    // Surrogates, and the two non-characters XML cannot hold, are no text.
    if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF || c > 0x10FFFF)
        out += replacement;
    else
        encodeUtf8(out, c);
}

class BinaryReader {
public:
    // Every value a file holds costs at least one byte of reference in its container, unless
    // containers are shared, which no writer does: more values than bytes is an expansion.
    BinaryReader(std::string_view bytes, DocumentBuilder& builder)
        : bytes_(bytes), builder_(builder), budget_(bytes.size() + 65536) {}

    PropertyListReader::Result read() {
        if (!trailer()) return fail();
        if (!object(top_, false)) return fail();
        auto doc = builder_.finish();
        if (!doc) return {nullptr, "malformed binary property list"};
        return {std::move(doc), {}};
    }

private:
    PropertyListReader::Result fail() {
        return {nullptr, error_.empty() ? "malformed binary property list" : error_};
    }
    bool malformed(const char* what) {
        if (error_.empty()) error_ = std::string("malformed binary property list: ") + what;
        return false;
    }

    // A big-endian unsigned number of `size` bytes at `at`.
    std::optional<std::uint64_t> number(std::uint64_t at, std::uint64_t size) const {
        if (size == 0 || size > 8 || at > bytes_.size() || size > bytes_.size() - at) return std::nullopt;
        std::uint64_t v = 0;
        for (std::uint64_t i = 0; i < size; ++i)
            v = v << 8 | static_cast<unsigned char>(bytes_[at + i]);
        return v;
    }

    bool trailer() {
        if (bytes_.size() < 8 + trailerSize) return malformed("too short");
        const auto t = bytes_.size() - trailerSize;
        offsetSize_ = static_cast<unsigned char>(bytes_[t + 6]);
        refSize_ = static_cast<unsigned char>(bytes_[t + 7]);
        count_ = *number(t + 8, 8);
        top_ = *number(t + 16, 8);
        table_ = *number(t + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) return malformed("field sizes");
        if (count_ == 0 || top_ >= count_) return malformed("object count");
        if (table_ < 8 || table_ > t || count_ > (t - table_) / offsetSize_) return malformed("offset table");
        return true;
    }

    // Where object `ref` starts; objects lie between the header and the offset table.
    std::optional<std::uint64_t> offsetOf(std::uint64_t ref) const {
        if (ref >= count_) return std::nullopt;
        const auto offset = number(table_ + ref * offsetSize_, offsetSize_);
        if (!offset || *offset < 8 || *offset >= table_) return std::nullopt;
        return offset;
    }

    // The count in a marker's low nibble, or the integer object after it when the nibble is 15.
    std::optional<std::uint64_t> length(std::uint64_t& at, unsigned nibble) const {
        if (nibble != 0xF) return nibble;
        if (at >= table_) return std::nullopt;
        const auto marker = static_cast<unsigned char>(bytes_[at]);
        if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3) return std::nullopt;
        const auto size = std::uint64_t{1} << (marker & 0x0F);
        const auto n = number(at + 1, size);
        at += 1 + size;
        return n;
    }

    // Whether `count` items of `size` bytes fit between `at` and the offset table.
    bool fits(std::uint64_t at, std::uint64_t count, std::uint64_t size) const {
        return at <= table_ && count <= (table_ - at) / size;
    }

    bool object(std::uint64_t ref, bool asKey) {
        if (budget_ == 0) {
            error_ = "binary property list expands to too many values (shared objects repeated)";
            return false;
        }
        --budget_;
        const auto start = offsetOf(ref);
        if (!start) return malformed("object reference");
        auto at = *start;
        const auto marker = static_cast<unsigned char>(bytes_[at++]);
        const unsigned type = marker >> 4, nibble = marker & 0x0F;
        if (asKey && type != 0x5 && type != 0x6) return malformed("key that is no string");
        switch (type) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09) return builder_.boolean(marker == 0x09);
            return malformed("unsupported object");
        case 0x1: {
            if (nibble > 4) return malformed("integer size");
            if (nibble == 4) { // sixteen bytes: the file's writers put the value in the low half
                const auto high = number(at, 8), low = number(at + 8, 8);
                if (!high || !low || at + 16 > table_) return malformed("integer");
                return *high == 0 ? builder_.unsignedInteger(*low) : builder_.integer(static_cast<std::int64_t>(*low));
            }
            const auto size = std::uint64_t{1} << nibble;
            const auto v = number(at, size);
            if (!v || !fits(at, 1, size)) return malformed("integer");
            // Eight-byte integers are signed; the shorter ones are not, and fit either way.
            return builder_.integer(static_cast<std::int64_t>(*v));
        }
        case 0x2:
        case 0x3: {
            if ((type == 0x2 && nibble != 2 && nibble != 3) || (type == 0x3 && marker != 0x33))
                return malformed("real or date");
            const auto size = std::uint64_t{1} << nibble;
            const auto v = number(at, size);
            if (!v || !fits(at, 1, size)) return malformed("real or date");
            double value;
            if (size == 4) {
                float f;
                const auto bits = static_cast<std::uint32_t>(*v);
                std::memcpy(&f, &bits, 4);
                value = f;
            } else {
                std::memcpy(&value, &*v, 8);
            }
            if (type == 0x2) return builder_.real(value);
            if (!std::isfinite(value) || std::fabs(value) > 1e15) return malformed("date");
            constexpr std::int64_t from2001 = 978307200;
            return builder_.date(plist::Date{from2001 + static_cast<std::int64_t>(std::floor(value))});
        }
        case 0x4: {
            const auto n = length(at, nibble);
            if (!n || !fits(at, *n, 1)) return malformed("data length");
            return builder_.data(bytes_.substr(at, *n));
        }
        case 0x5:
        case 0x6: {
            const auto n = length(at, nibble);
            const std::uint64_t unit = type == 0x5 ? 1 : 2;
            if (!n || !fits(at, *n, unit)) return malformed("string length");
            const auto text = type == 0x5 ? ascii(at, *n) : utf16(at, *n);
            return asKey ? builder_.key(text) : builder_.string(text);
        }
        case 0xA:
        case 0xC:
        case 0xD: {
            const auto n = length(at, nibble);
            const std::uint64_t refs = type == 0xD ? 2 : 1;
            if (!n || *n > table_ || !fits(at, *n * refs, refSize_)) return malformed("container length");
            if (builder_.depth() >= DocumentBuilder::maxDepth) {
                error_ = "binary property list nested deeper than " + std::to_string(DocumentBuilder::maxDepth) +
                         " levels";
                return false;
            }
            if (!(type == 0xD ? builder_.beginDict() : builder_.beginArray())) return malformed("structure");
            for (std::uint64_t i = 0; i < *n; ++i) {
                if (type == 0xD && !object(*number(at + i * refSize_, refSize_), true)) return false;
                const auto value = type == 0xD ? at + (*n + i) * refSize_ : at + i * refSize_;
                if (!object(*number(value, refSize_), false)) return false;
            }
            return builder_.end() || malformed("structure");
        }
        default:
            return malformed("unsupported object");
        }
    }

    // "ASCII" strings: a byte above 127 is none.
    std::string ascii(std::uint64_t at, std::uint64_t n) const {
        std::string out;
        out.reserve(n);
        for (std::uint64_t i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(bytes_[at + i]);
            if (c < 0x80)
                out += static_cast<char>(c);
            else
                out += replacement;
        }
        return out;
    }

    // UTF-16, big-endian; an unpaired surrogate is replaced.
    std::string utf16(std::uint64_t at, std::uint64_t n) const {
        std::string out;
        out.reserve(n);
        const auto unit = [&](std::uint64_t i) {
            return static_cast<char32_t>(static_cast<unsigned char>(bytes_[at + 2 * i]) << 8 |
                                         static_cast<unsigned char>(bytes_[at + 2 * i + 1]));
        };
        for (std::uint64_t i = 0; i < n; ++i) {
            const auto c = unit(i);
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
                ++i;
            } else {
                appendUtf8(out, c);
            }
        }
        return out;
    }

    std::string_view bytes_;
    DocumentBuilder& builder_;
    std::size_t budget_;
    unsigned offsetSize_ = 0, refSize_ = 0;
    std::uint64_t count_ = 0, top_ = 0, table_ = 0;
    std::string error_;
};

} // namespace

PropertyListReader::Result parseBinaryPlist(std::string_view bytes) {
    DocumentBuilder builder;
    return BinaryReader(bytes, builder).read();
}

} // namespace platter
