#include "core/plist/document.h"

#include <bit>
#include <cstring>

namespace platter::plist {

namespace {
constexpr std::uint32_t unsignedFlag = 1; // in the size bits of an integer node

// Keys made of digits only, the track IDs of a library's "Tracks", each occur once: interning
// them would cost a hash insertion per track for lookups nobody makes. They are kept, but
// found by scanning their dictionary.
bool isNumber(std::string_view s) {
    if (s.empty()) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}
} // namespace

Type NodeRef::type() const {
    return static_cast<Type>(doc_->node(index_).typeSize >> Document::typeShift);
}

std::string_view NodeRef::string() const {
    const auto& n = doc_->node(index_);
    return doc_->poolText(n.payload, n.typeSize & Document::sizeMask);
}

std::string_view NodeRef::data() const {
    return string();
}

std::int64_t NodeRef::integer() const {
    return static_cast<std::int64_t>(doc_->node(index_).payload);
}

bool NodeRef::integerIsUnsigned() const {
    return (doc_->node(index_).typeSize & Document::sizeMask & unsignedFlag) != 0;
}

double NodeRef::real() const {
    return std::bit_cast<double>(doc_->node(index_).payload);
}

bool NodeRef::boolean() const {
    return doc_->node(index_).payload != 0;
}

Date NodeRef::date() const {
    return Date{static_cast<std::int64_t>(doc_->node(index_).payload)};
}

std::size_t NodeRef::size() const {
    const auto& n = doc_->node(index_);
    const auto t = static_cast<Type>(n.typeSize >> Document::typeShift);
    return t == Type::Dict || t == Type::Array ? (n.typeSize & Document::sizeMask) : 0;
}

NodeRef NodeRef::at(std::size_t i) const {
    return NodeRef(doc_, static_cast<std::uint32_t>(doc_->node(index_).payload + i));
}

KeyId NodeRef::keyIdAt(std::size_t i) const {
    return doc_->node(at(i).index_).key;
}

std::string_view NodeRef::keyAt(std::size_t i) const {
    return doc_->keyText(keyIdAt(i));
}

NodeRef NodeRef::find(KeyId key) const {
    if (key == noKey || !is(Type::Dict)) return {};
    const auto& n = doc_->node(index_);
    const auto count = n.typeSize & Document::sizeMask;
    for (std::uint32_t i = count; i-- > 0;) {
        const auto child = static_cast<std::uint32_t>(n.payload + i);
        if (doc_->node(child).key == key) return NodeRef(doc_, child);
    }
    return {};
}

NodeRef NodeRef::find(std::string_view key) const {
    if (!valid()) return {};
    if (!isNumber(key)) return find(doc_->keyId(key));
    for (std::size_t i = size(); i-- > 0;)
        if (keyAt(i) == key) return at(i);
    return {};
}

std::optional<std::string_view> NodeRef::stringFor(KeyId key) const {
    const auto v = find(key);
    return v.is(Type::String) ? std::optional(v.string()) : std::nullopt;
}

std::optional<std::int64_t> NodeRef::integerFor(KeyId key) const {
    const auto v = find(key);
    return v.is(Type::Integer) ? std::optional(v.integer()) : std::nullopt;
}

std::optional<bool> NodeRef::booleanFor(KeyId key) const {
    const auto v = find(key);
    return v.is(Type::Boolean) ? std::optional(v.boolean()) : std::nullopt;
}

std::optional<std::string_view> NodeRef::stringFor(std::string_view key) const {
    return valid() ? stringFor(doc_->keyId(key)) : std::nullopt;
}

std::optional<std::int64_t> NodeRef::integerFor(std::string_view key) const {
    return valid() ? integerFor(doc_->keyId(key)) : std::nullopt;
}

std::optional<bool> NodeRef::booleanFor(std::string_view key) const {
    return valid() ? booleanFor(doc_->keyId(key)) : std::nullopt;
}

KeyId Document::keyId(std::string_view key) const {
    if (isNumber(key)) {
        for (std::size_t i = 0; i < keys_.size(); ++i)
            if (keyText(static_cast<KeyId>(i)) == key) return static_cast<KeyId>(i);
        return noKey;
    }
    const auto it = keyIds_.find(key);
    return it == keyIds_.end() ? noKey : it->second;
}

std::string_view Document::keyText(KeyId id) const {
    if (id >= keys_.size()) return {};
    return poolText(keys_[id].first, keys_[id].second);
}

DocumentBuilder::DocumentBuilder() : doc_(std::make_shared<Document>()), followingKey_{{noKey, noKey}} {
    pending_.reserve(1024);
}

std::uint64_t DocumentBuilder::storeText(std::string_view text) {
    auto& d = *doc_;
    if (d.poolPages_.empty() || d.poolUsedInLast_ + text.size() > d.poolPageSizes_.back()) {
        const auto size = std::max(Document::poolPageSize, text.size());
        d.poolPages_.push_back(std::make_unique_for_overwrite<char[]>(size));
        d.poolPageSizes_.push_back(size);
        d.poolUsedInLast_ = 0;
    }
    const auto position = (static_cast<std::uint64_t>(d.poolPages_.size() - 1) << 32) | d.poolUsedInLast_;
    if (!text.empty()) std::memcpy(d.poolPages_.back().get() + d.poolUsedInLast_, text.data(), text.size());
    d.poolUsedInLast_ += text.size();
    return position;
}

std::uint32_t DocumentBuilder::appendNode(const Document::Node& n) {
    auto& d = *doc_;
    const auto index = static_cast<std::uint32_t>(d.nodeCount_);
    const auto page = index >> Document::nodePageBits;
    if (page == d.nodePages_.size())
        d.nodePages_.push_back(
            std::make_unique_for_overwrite<Document::Node[]>(1u << Document::nodePageBits));
    d.nodePages_[page][index & ((1u << Document::nodePageBits) - 1)] = n;
    ++d.nodeCount_;
    return index;
}

bool DocumentBuilder::add(Type type, std::uint32_t size, std::uint64_t payload) {
    if (failed_) return false;
    const Document::Node n{noKey, (static_cast<std::uint32_t>(type) << Document::typeShift) | size, payload};
    if (frames_.empty()) {
        if (haveRoot_) return failed_ = true, false;
        haveRoot_ = true;
        doc_->root_ = appendNode(n);
        return true;
    }
    auto& top = frames_.back();
    if (top.type == Type::Dict) {
        if (!top.keyPending) return failed_ = true, false;
        top.keyPending = false;
        pending_.push_back(n);
        pending_.back().key = pendingKey_;
    } else {
        pending_.push_back(n);
    }
    return true;
}

bool DocumentBuilder::begin(Type type) {
    if (failed_) return false;
    if (frames_.size() >= maxDepth) return failed_ = true, false;
    if (!frames_.empty() && frames_.back().type == Type::Dict && !frames_.back().keyPending)
        return failed_ = true, false;
    if (frames_.empty() && haveRoot_) return failed_ = true, false;
    frames_.push_back(Frame{pending_.size(), type, false, pendingKey_});
    previousKey_ = noKey;
    return true;
}

bool DocumentBuilder::beginDict() {
    return begin(Type::Dict);
}
bool DocumentBuilder::beginArray() {
    return begin(Type::Array);
}

bool DocumentBuilder::key(std::string_view text) {
    if (failed_ || frames_.empty() || frames_.back().type != Type::Dict || frames_.back().keyPending)
        return failed_ = true, false;
    auto& d = *doc_;
    auto guesses = followingKey_[previousKey_ + 1];
    if (guesses[0] != noKey && d.keyText(guesses[0]) == text) {
        pendingKey_ = guesses[0];
    } else if (guesses[1] != noKey && d.keyText(guesses[1]) == text) {
        pendingKey_ = guesses[1];
    } else {
        const bool number = isNumber(text);
        const auto it = number ? d.keyIds_.end() : d.keyIds_.find(text);
        if (it != d.keyIds_.end()) {
            pendingKey_ = it->second;
        } else {
            const auto position = storeText(text);
            const auto id = static_cast<KeyId>(d.keys_.size());
            d.keys_.emplace_back(position, static_cast<std::uint32_t>(text.size()));
            if (!number) d.keyIds_.emplace(d.poolText(position, static_cast<std::uint32_t>(text.size())), id);
            followingKey_.push_back({noKey, noKey});
            pendingKey_ = id;
        }
        auto& slot = followingKey_[previousKey_ + 1];
        slot = {pendingKey_, slot[0]};
    }
    previousKey_ = pendingKey_;
    frames_.back().keyPending = true;
    return true;
}

bool DocumentBuilder::string(std::string_view text) {
    if (text.size() > Document::sizeMask) return failed_ = true, false;
    return add(Type::String, static_cast<std::uint32_t>(text.size()), storeText(text));
}

bool DocumentBuilder::data(std::string_view bytes) {
    if (bytes.size() > Document::sizeMask) return failed_ = true, false;
    return add(Type::Data, static_cast<std::uint32_t>(bytes.size()), storeText(bytes));
}

bool DocumentBuilder::integer(std::int64_t value) {
    return add(Type::Integer, 0, static_cast<std::uint64_t>(value));
}

bool DocumentBuilder::unsignedInteger(std::uint64_t value) {
    return add(Type::Integer, value > static_cast<std::uint64_t>(INT64_MAX) ? unsignedFlag : 0, value);
}

bool DocumentBuilder::real(double value) {
    return add(Type::Real, 0, std::bit_cast<std::uint64_t>(value));
}

bool DocumentBuilder::boolean(bool value) {
    return add(Type::Boolean, 0, value ? 1 : 0);
}

bool DocumentBuilder::date(Date value) {
    return add(Type::Date, 0, static_cast<std::uint64_t>(value.seconds));
}

bool DocumentBuilder::end() {
    if (failed_ || frames_.empty() || frames_.back().keyPending) return failed_ = true, false;
    const auto frame = frames_.back();
    frames_.pop_back();
    const auto count = pending_.size() - frame.firstChild;
    if (count > Document::sizeMask) return failed_ = true, false;
    // Children move to their final place only now, so each container's children are adjacent.
    const auto first = static_cast<std::uint64_t>(doc_->nodeCount_);
    for (std::size_t i = frame.firstChild; i < pending_.size(); ++i)
        appendNode(pending_[i]);
    pending_.resize(frame.firstChild);
    pendingKey_ = frame.ownKey;
    previousKey_ = frame.ownKey;
    return add(frame.type, static_cast<std::uint32_t>(count), first);
}

std::shared_ptr<Document> DocumentBuilder::finish() {
    if (failed_ || !frames_.empty() || !haveRoot_) return nullptr;
    failed_ = true; // a builder hands out its document once
    return std::move(doc_);
}

} // namespace platter::plist
