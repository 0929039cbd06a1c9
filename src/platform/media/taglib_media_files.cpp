#include "platform/media/taglib_media_files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <tuple>
#include <filesystem>
#include <sys/stat.h>
#include <fstream>
#include <iterator>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

namespace platter {

namespace {

std::string bytesOf(const TagLib::ByteVector& v) {
    return std::string(v.data(), v.size());
}

std::optional<std::string> fromId3(TagLib::ID3v2::Tag* tag) {
    if (!tag) return std::nullopt;
    std::optional<std::string> any;
    for (auto* frame : tag->frameListMap()["APIC"]) {
        auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
        if (!picture || picture->picture().isEmpty()) continue;
        if (picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
            return bytesOf(picture->picture());
        if (!any) any = bytesOf(picture->picture());
    }
    return any;
}

std::optional<std::string> fromPictures(const TagLib::List<TagLib::FLAC::Picture*>& pictures) {
    std::optional<std::string> any;
    for (auto* picture : pictures) {
        if (!picture || picture->data().isEmpty()) continue;
        if (picture->type() == TagLib::FLAC::Picture::FrontCover) return bytesOf(picture->data());
        if (!any) any = bytesOf(picture->data());
    }
    return any;
}

std::optional<std::string> embedded(const std::string& path) {
    TagLib::FileRef ref(path.c_str(), false);
    auto* file = ref.file();
    if (!file || !file->isValid()) return std::nullopt;
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) return fromId3(mpeg->ID3v2Tag(false));
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        if (auto found = fromPictures(flac->pictureList())) return found;
        return fromId3(flac->ID3v2Tag(false));
    }
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
        auto* tag = mp4->tag();
        if (!tag || !tag->contains("covr")) return std::nullopt;
        const auto covers = tag->item("covr").toCoverArtList();
        for (const auto& cover : covers)
            if (!cover.data().isEmpty()) return bytesOf(cover.data());
        return std::nullopt;
    }
    if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file))
        return vorbis->tag() ? fromPictures(vorbis->tag()->pictureList()) : std::nullopt;
    if (auto* oggFlac = dynamic_cast<TagLib::Ogg::FLAC::File*>(file))
        return oggFlac->tag() ? fromPictures(oggFlac->tag()->pictureList()) : std::nullopt;
    return std::nullopt;
}

// Cover images larger than this are no covers; reading one whole at every song would cost
// gigabytes.
constexpr std::uintmax_t maxImageBytes = 32u << 20;

std::optional<std::string> beside(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // Preferred names first; the folder is listed once.
    static constexpr std::string_view stems[] = {"cover", "folder", "front"};
    static constexpr std::string_view extensions[] = {".jpg", ".jpeg", ".png"};
    std::optional<fs::path> best;
    std::size_t bestRank = SIZE_MAX;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || it->file_size(ec) > maxImageBytes) continue;
        auto name = it->path().filename().string();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
        for (std::size_t s = 0; s < std::size(stems); ++s)
            for (std::size_t e = 0; e < std::size(extensions); ++e)
                if (name == std::string(stems[s]) + std::string(extensions[e]) && s * 3 + e < bestRank) {
                    bestRank = s * 3 + e;
                    best = it->path();
                }
    }
    if (!best) return std::nullopt;
    std::ifstream in(*best, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) return std::nullopt;
    return bytes.empty() ? std::nullopt : std::optional(std::move(bytes));
}

bool isAudioName(std::string name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    static constexpr std::string_view endings[] = {".mp3", ".m4a", ".aac", ".alac", ".flac", ".ogg",
                                                   ".oga", ".opus", ".wav", ".aif", ".aiff", ".wv"};
    const std::string_view ending = std::string_view(name).substr(dot);
    return std::find(std::begin(endings), std::end(endings), ending) != std::end(endings);
}

// "2/12" or "2": the number and, where given, the count.
std::pair<int, int> numberAndCount(const TagLib::PropertyMap& properties, const char* key) {
    const auto found = properties.find(key);
    if (found == properties.end() || found->second.isEmpty()) return {0, 0};
    const auto text = found->second.front().to8Bit(true);
    int number = 0, count = 0;
    std::sscanf(text.c_str(), "%d/%d", &number, &count);
    return {std::max(number, 0), std::max(count, 0)};
}

std::string firstOf(const TagLib::PropertyMap& properties, const char* key) {
    const auto found = properties.find(key);
    return found == properties.end() || found->second.isEmpty() ? std::string()
                                                                  : found->second.front().to8Bit(true);
}

} // namespace

std::vector<FoundFile> TaglibMediaFiles::audioFilesBelow(const std::string& folder) const {
    namespace fs = std::filesystem;
    std::vector<FoundFile> found;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::follow_directory_symlink |
                                                    fs::directory_options::skip_permission_denied,
                                        ec);
    for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        const auto name = it->path().filename().string();
        if (name.starts_with('.')) {
            if (it->is_directory(ec)) it.disable_recursion_pending();
            continue;
        }
        // A link that leads back up would be walked forever.
        if (it.depth() > 32) it.disable_recursion_pending();
        if (!isAudioName(name) || !it->is_regular_file(ec)) continue;
        // One stat for both, where the size and the time asked apart take two.
        struct stat status = {};
        auto path = it->path().string();
        if (::stat(path.c_str(), &status) != 0) continue;
        found.push_back({std::move(path), static_cast<std::int64_t>(status.st_size),
                         std::int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec});
    }
    return found;
}

std::optional<AudioTags> TaglibMediaFiles::tags(const std::string& path) const {
    TagLib::FileRef ref(path.c_str(), true, TagLib::AudioProperties::Fast);
    if (ref.isNull() || !ref.file()->isValid() || !ref.audioProperties()) return std::nullopt;
    const auto ms = ref.audioProperties()->lengthInMilliseconds();
    if (ms <= 0) return std::nullopt;
    AudioTags tags;
    tags.lengthMs = ms;
    if (const auto* tag = ref.tag()) {
        tags.title = tag->title().to8Bit(true);
        tags.album = tag->album().to8Bit(true);
        tags.artist = tag->artist().to8Bit(true);
        tags.genre = tag->genre().to8Bit(true);
        tags.year = static_cast<int>(tag->year());
    }
    const auto properties = ref.file()->properties();
    tags.albumArtist = firstOf(properties, "ALBUMARTIST");
    std::tie(tags.track, tags.trackCount) = numberAndCount(properties, "TRACKNUMBER");
    std::tie(tags.disc, tags.discCount) = numberAndCount(properties, "DISCNUMBER");
    if (const auto total = numberAndCount(properties, "TRACKTOTAL").first) tags.trackCount = total;
    if (const auto total = numberAndCount(properties, "DISCTOTAL").first) tags.discCount = total;
    const auto compilation = firstOf(properties, "COMPILATION");
    tags.compilation = compilation == "1" || compilation == "true";
    return tags;
}

std::optional<double> TaglibMediaFiles::duration(const std::string& path) const {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    TagLib::FileRef ref(path.c_str(), true, TagLib::AudioProperties::Fast);
    if (ref.isNull() || !ref.audioProperties()) return std::nullopt;
    // No length at all: no audio frame was found, and nothing would play.
    const auto ms = ref.audioProperties()->lengthInMilliseconds();
    if (ms <= 0) return std::nullopt;
    return ms / 1000.0;
}

std::optional<std::string> TaglibMediaFiles::artwork(const std::string& audioPath) const {
    if (auto found = embedded(audioPath)) return found;
    // The songs of an album follow each other: their folder's image is read once.
    const auto folder = std::filesystem::path(audioPath).parent_path();
    const std::lock_guard lock(folderMutex_);
    if (folder != lastFolder_) {
        lastFolderImage_ = beside(folder);
        lastFolder_ = folder;
    }
    return lastFolderImage_;
}

} // namespace platter
