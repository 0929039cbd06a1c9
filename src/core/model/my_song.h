#pragma once

#include "core/model/song_file.h"
#include "core/model/track_entries.h"
#include "core/plist/document.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace platter {

class MyAlbum;
class StringRules;
struct MLMediaObject;

// A track dictionary of the library file, kept whole so the export can write it back exactly.
// It holds its document alive; songs and their text point into it.
struct TrackDict {
    std::shared_ptr<const plist::Document> document;
    plist::NodeRef node;
};

// One shared copy of each album ID among the songs of one build: a library repeats an album's
// ID for each of its songs, and a copy per song would cost megabytes.
class AlbumIDs {
public:
    std::shared_ptr<const std::string> intern(std::string id);

private:
    std::unordered_map<std::string_view, std::shared_ptr<const std::string>> ids_;
};

// One kept track of the library file. Shared by its album, discs and playlists; never copied.
class MySong {
public:
    // `initWithTrackID:name:album:totalTime:dict:`, with the dictionary's entries already found.
    // Text not in the dictionary (name, album) must outlive the song; the reader passes text
    // from the same document. The album ID is shared through `ids` when given.
    MySong(std::int64_t trackID, std::string_view name, std::string_view album, std::int64_t totalTime,
           TrackDict dict, const TrackEntries& entries, const StringRules& rules, AlbumIDs* ids = nullptr);
    MySong(const MySong&) = delete;
    MySong& operator=(const MySong&) = delete;

    std::int64_t trackID() const { return trackID_; }
    std::string_view persistentID() const { return persistentID_; }
    std::string_view name() const { return name_; }
    std::string_view album() const { return album_; }
    std::int64_t discNumer() const { return discNumer_; }
    std::int64_t trackNumber() const { return trackNumber_; }
    std::string_view artist() const { return artist_; }
    std::string_view albumArtist() const { return albumArtist_; }
    // Album name, a tab, album artist; in composed form, so equivalent spellings group together.
    const std::string& albumID() const { return *albumID_; }
    bool compilation() const { return compilation_; }
    // The "Location" text as written in the file (a percent-encoded file URL), if it is a URL.
    std::optional<std::string_view> url() const {
        return url_.data() ? std::optional(url_) : std::nullopt;
    }
    const TrackDict& dict() const { return dict_; }
    // Where its file lies here, as the last search found it: the file, or where it was looked
    // for; the path is empty while the song has not been searched for or has no file.
    SongFile::Status fileStatus() const { return fileStatus_; }
    std::string_view filePath() const { return filePath_ ? std::string_view(*filePath_) : std::string_view(); }
    void setFile(SongFile file) {
        fileStatus_ = file.status;
        filePath_ = file.path.empty() ? nullptr : std::make_unique<const std::string>(std::move(file.path));
    }
    double duration() const { return duration_; }

    // The album set by grouping, or a placeholder album created on first read before that.
    std::shared_ptr<MyAlbum> myAlbum() const;
    void setMyAlbum(const std::shared_ptr<MyAlbum>& album) { myAlbum_ = album; }
    // The media-library object describing the same track, once linked.
    const std::shared_ptr<MLMediaObject>& mediaObj() const { return mediaObj_; }
    void setMediaObj(std::shared_ptr<MLMediaObject> object) { mediaObj_ = std::move(object); }

private:
    std::int64_t trackID_;
    std::string_view persistentID_;
    std::string_view name_;
    std::string_view album_;
    std::int64_t discNumer_ = 0;
    std::int64_t trackNumber_ = 0;
    std::string_view artist_;
    std::string_view albumArtist_;
    std::shared_ptr<const std::string> albumID_;
    bool compilation_ = false;
    // Beside the flag above, in what would be padding: a library has hundreds of thousands of
    // songs, and most have no path looked for.
    SongFile::Status fileStatus_ = SongFile::Status::Unknown;
    std::string_view url_; // none while it views nothing
    TrackDict dict_;
    double duration_;
    // The album owns its songs, so the song only observes it.
    std::weak_ptr<MyAlbum> myAlbum_;
    mutable std::shared_ptr<MyAlbum> placeholder_;
    std::shared_ptr<MLMediaObject> mediaObj_;
    std::unique_ptr<const std::string> filePath_;
};

using SongPtr = std::shared_ptr<MySong>;

} // namespace platter
