#pragma once

#include "core/services/artwork_reader.h"
#include "core/services/audio_files.h"
#include "core/services/music_files.h"

#include <filesystem>
#include <mutex>

namespace platter {

// Audio facts and artwork through TagLib, which reads headers and tags only: a song's length
// costs a few small reads, never a decode.
class TaglibMediaFiles final : public AudioFiles, public ArtworkReader, public MusicFiles {
public:
    // Files ending in .mp3, .m4a, .aac, .alac, .flac, .ogg, .oga, .opus, .wav, .aif, .aiff or
    // .wv, in any case.
    std::vector<FoundFile> audioFilesBelow(const std::string& folder) const override;
    // The common tags, and those TagLib offers as properties: album artist, disc and track
    // numbers with their counts ("2/12"), compilation.
    std::optional<AudioTags> tags(const std::string& path) const override;
    std::optional<double> duration(const std::string& path) const override;
    // Embedded pictures first (ID3v2 APIC, MP4 covr, FLAC and Vorbis pictures, the front cover
    // preferred), then an image file beside the audio file: cover, folder or front, in any
    // case, .jpg, .jpeg or .png, where many Linux libraries keep it, up to 32 MB. A folder's
    // image is read once for the songs that follow from the same folder.
    std::optional<std::string> artwork(const std::string& audioPath) const override;

private:
    mutable std::mutex folderMutex_;
    mutable std::filesystem::path lastFolder_;
    mutable std::optional<std::string> lastFolderImage_;
};

} // namespace platter
