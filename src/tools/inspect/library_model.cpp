#include "tools/inspect/library_model.h"

#include "core/model/file_url.h"
#include "core/model/song_locator.h"
#include "core/text/string_rules.h"
#include "platform/files/local_file_system.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/text/icu_unicode_rules.h"

#include <filesystem>

namespace platter {

Inspection inspectLibrary(const InspectionRequest& request) {
    Inspection result;
    auto read = PlistFileReader().readFile(request.libraryPath);
    if (!read.document) {
        result.error = "It could not be read: " + read.error + ".";
        return result;
    }
    result.error = libraryProblem(*read.document);
    if (!result.error.empty()) return result;
    IcuUnicodeRules unicode;
    const StringRules rules(unicode);
    result.library = buildLibrary(std::move(read.document), request.albumSettings, rules);
    if (!request.findFiles) return result;

    auto& library = *result.library;
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(request.libraryPath, ec);
    const auto folder = (ec ? std::filesystem::path(request.libraryPath) : absolute).parent_path().string();
    LocalFileSystem fileSystem;
    SongLocator locator(fileSystem, rules,
                        {library.musicFolderUrl, request.musicFolders, folder, request.userMusicFolder});
    SongFileResults found{library.songs, library.playlists, {}, {}, {}};
    locateAll(found, locator);
    for (std::size_t i = 0; i < found.songs.size(); ++i)
        found.songs[i]->setFile(std::move(found.files[i]));
    for (std::size_t i = 0; i < found.playlists.size(); ++i)
        found.playlists[i]->setFiles(found.playlistFiles[i]);
    result.files = found.library;
    return result;
}

} // namespace platter
