#pragma once

// A compact, immutable property-list tree.
//
// A music library file holds hundreds of thousands of track dictionaries that must all be kept
// for export, so the tree is laid out for size: every value is one 16-byte node, a container's
// children sit next to each other, dictionary keys are interned, and text lives in a shared
// pool. Nodes are reached through `NodeRef`, a cheap handle that stays valid as long as the
// document does.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platter::plist {

enum class Type : std::uint8_t { Dict, Array, String, Integer, Real, Boolean, Date, Data };

// Seconds since 1970-01-01T00:00:00Z. 64 bits, so any year of a real library survives.
struct Date {
    std::int64_t seconds = 0;
    friend bool operator==(Date, Date) = default;
};

using KeyId = std::uint32_t;
inline constexpr KeyId noKey = 0xFFFFFFFFu;

class Document;

class NodeRef {
public:
    NodeRef() = default;
    NodeRef(const Document* doc, std::uint32_t index) : doc_(doc), index_(index) {}

    bool valid() const { return doc_ != nullptr; }
    Type type() const;
    bool is(Type t) const { return valid() && type() == t; }

    // Scalar accessors; each expects the matching type.
    std::string_view string() const;
    std::int64_t integer() const;
    // Integers above INT64_MAX are kept as unsigned so they write back unchanged.
    bool integerIsUnsigned() const;
    double real() const;
    bool boolean() const;
    Date date() const;
    std::string_view data() const;

    // Containers: number of elements (array) or entries (dict).
    std::size_t size() const;
    NodeRef at(std::size_t i) const;
    std::string_view keyAt(std::size_t i) const;
    KeyId keyIdAt(std::size_t i) const;

    // Dictionary lookup; a later duplicate key wins, as in the platform's reader.
    NodeRef find(std::string_view key) const;
    NodeRef find(KeyId key) const;

    // Typed lookups: absent when the key is missing or holds another type.
    std::optional<std::string_view> stringFor(std::string_view key) const;
    std::optional<std::int64_t> integerFor(std::string_view key) const;
    std::optional<bool> booleanFor(std::string_view key) const;
    std::optional<std::string_view> stringFor(KeyId key) const;
    std::optional<std::int64_t> integerFor(KeyId key) const;
    std::optional<bool> booleanFor(KeyId key) const;

    const Document* document() const { return doc_; }
    std::uint32_t index() const { return index_; }

private:
    const Document* doc_ = nullptr;
    std::uint32_t index_ = 0;
};

class DocumentBuilder;

class Document {
public:
    NodeRef root() const { return NodeRef(this, root_); }
    // The id of a key, or `noKey` when no dictionary of the document uses it. Digit-only keys
    // are not interned, and finding one takes a scan.
    KeyId keyId(std::string_view key) const;
    std::string_view keyText(KeyId id) const;

    std::size_t nodeCount() const { return nodeCount_; }
    std::size_t keyCount() const { return keys_.size(); }

private:
    friend class NodeRef;
    friend class DocumentBuilder;

    struct Node {
        KeyId key;              // the dictionary key this value sits under, or noKey
        std::uint32_t typeSize; // type in the top 3 bits, length or child count below
        std::uint64_t payload;  // scalar bits, pool position of text, or first child index
    };
    static_assert(sizeof(Node) == 16);
    static constexpr unsigned typeShift = 29;
    static constexpr std::uint32_t sizeMask = (1u << typeShift) - 1;
    static constexpr unsigned nodePageBits = 16;
    static constexpr std::size_t poolPageSize = std::size_t{1} << 20;

    const Node& node(std::uint32_t i) const {
        return nodePages_[i >> nodePageBits][i & ((1u << nodePageBits) - 1)];
    }
    std::string_view poolText(std::uint64_t position, std::uint32_t length) const {
        return {poolPages_[position >> 32].get() + (position & 0xFFFFFFFFu), length};
    }

    std::vector<std::unique_ptr<Node[]>> nodePages_;
    std::size_t nodeCount_ = 0;
    std::vector<std::unique_ptr<char[]>> poolPages_;
    std::vector<std::size_t> poolPageSizes_;
    std::size_t poolUsedInLast_ = 0;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> keys_; // pool position and length
    std::unordered_map<std::string_view, KeyId> keyIds_;
    std::uint32_t root_ = 0;
};

// Builds a Document from a stream of events, as a parser produces them. Every call reports
// whether the event fits the structure so far; the first misfit makes the builder fail.
class DocumentBuilder {
public:
    // Nesting deeper than this is refused: no real property list comes near it, and a bound
    // keeps hostile input from exhausting memory or the stack of any consumer.
    static constexpr std::size_t maxDepth = 256;

    DocumentBuilder();

    bool beginDict();
    bool beginArray();
    bool key(std::string_view text);
    bool string(std::string_view text);
    bool integer(std::int64_t value);
    bool unsignedInteger(std::uint64_t value);
    bool real(double value);
    bool boolean(bool value);
    bool date(Date value);
    bool data(std::string_view bytes);
    bool end();

    std::size_t depth() const { return frames_.size(); }
    bool failed() const { return failed_; }
    // The finished document; null unless exactly one complete root value was built.
    std::shared_ptr<Document> finish();

private:
    struct Frame {
        std::size_t firstChild;
        Type type;
        bool keyPending;
        KeyId ownKey; // the key this container sits under in its parent
    };
    bool add(Type type, std::uint32_t size, std::uint64_t payload);
    bool begin(Type type);
    std::uint64_t storeText(std::string_view text);
    std::uint32_t appendNode(const Document::Node& n);

    std::shared_ptr<Document> doc_;
    // The two keys that last followed each key (index: key id + 1, 0 for a dictionary's first
    // key). Dictionaries of one file repeat their keys in the same order, with an optional key
    // here and there, so one of the guesses is nearly always right and spares a hash lookup.
    std::vector<std::array<KeyId, 2>> followingKey_;
    KeyId previousKey_ = noKey;
    std::vector<Document::Node> pending_;
    std::vector<Frame> frames_;
    KeyId pendingKey_ = noKey;
    bool haveRoot_ = false;
    bool failed_ = false;
};

} // namespace platter::plist
