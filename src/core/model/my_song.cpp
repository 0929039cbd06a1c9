#include "core/model/my_song.h"

#include "core/model/my_album.h"
#include "core/text/string_rules.h"

namespace platter {

namespace {

// A URL has a scheme: a letter, then letters, digits, '+', '-' or '.', then a colon.
bool isUrl(std::string_view s) {
    const auto colon = s.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    const auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!alpha(s[0])) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = s[i];
        if (!alpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
    }
    for (const char c : s)
        if (static_cast<unsigned char>(c) <= 0x20) return false;
    return true;
}

} // namespace

MySong::MySong(std::int64_t trackID, std::string_view name, std::string_view album, std::int64_t totalTime,
               TrackDict dict, const TrackEntries& entries, const StringRules& rules, AlbumIDs* ids)
    : trackID_(trackID), name_(name), album_(album), dict_(std::move(dict)),
      duration_(static_cast<double>(totalTime) / 1000.0) {
    trackNumber_ = entries.integer(TrackKey::TrackNumber).value_or(0);
    discNumer_ = entries.integer(TrackKey::DiscNumber).value_or(0);
    artist_ = entries.string(TrackKey::Artist).value_or("unknown");
    compilation_ = entries.boolean(TrackKey::Compilation).value_or(false);
    if (const auto aa = entries.string(TrackKey::AlbumArtist))
        albumArtist_ = *aa;
    else
        albumArtist_ = compilation_ ? std::string_view{} : artist_;
    std::string id;
    id.reserve(album_.size() + 1 + albumArtist_.size());
    id.append(album_).append("\t").append(albumArtist_);
    albumID_ = ids ? ids->intern(rules.key(id)) : std::make_shared<const std::string>(rules.key(id));
    persistentID_ = entries.string(TrackKey::PersistentID).value_or("");
    if (const auto location = entries.string(TrackKey::Location); location && isUrl(*location))
        url_ = *location;
}

std::shared_ptr<const std::string> AlbumIDs::intern(std::string id) {
    if (const auto found = ids_.find(id); found != ids_.end()) return found->second;
    auto shared = std::make_shared<const std::string>(std::move(id));
    ids_.emplace(*shared, shared);
    return shared;
}

std::shared_ptr<MyAlbum> MySong::myAlbum() const {
    if (auto album = myAlbum_.lock()) return album;
    if (!placeholder_)
        placeholder_ = std::make_shared<MyAlbum>("", "", "", "", false, std::vector<SongPtr>{}, "");
    return placeholder_;
}

} // namespace platter
