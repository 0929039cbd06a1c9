#include "core/library/app_delegate.h"
#include "core/library/my_playlist.h"
#include "core/plist/xml_writer.h"
#include "core/services/dialogs.h"
#include "core/services/file_writer.h"

#include <string>
#include <unordered_set>

namespace platter {

std::string MyPlaylist::xmlDataWithName(std::string_view exportName) const {
    plist::Dict tracks;
    plist::Array items;
    tracks.reserve(shuffledSongs.size());
    items.reserve(shuffledSongs.size());
    std::unordered_set<std::int64_t> written;
    for (const auto& song : shuffledSongs) {
        // The track dictionary goes out as the very subtree that was read: every key, type and
        // value, in the library's order.
        if (written.insert(song->trackID()).second)
            tracks.emplace_back(std::to_string(song->trackID()), song->dict().node);
        items.push_back(plist::Dict{{"Track ID", song->trackID()}});
    }
    plist::Dict playlist{{"Name", std::string(exportName)}, {"Playlist Items", std::move(items)}};
    plist::Dict root{{"Tracks", std::move(tracks)}, {"Playlists", plist::Array{std::move(playlist)}}};
    return plist::writeXml(root);
}

std::string exportNameOf(std::string_view path) {
    auto name = std::string(path.substr(path.find_last_of('/') + 1));
    for (auto at = name.find(".xml"); at != std::string::npos; at = name.find(".xml"))
        name.erase(at, 4);
    return name;
}

void AppDelegate::exportPlaylist() {
    const auto* selected = playlistAt(playlistNumber_);
    if (!selected || configuring_) return;
    const auto path = dialogs_.runSavePanel(
        {"Export iTune Playlist", {"xml"}, std::string(bundleName) + " - " + selected->name(), true});
    if (!path) return;
    const auto error = services_.files.writeAtomically(*path, selected->xmlDataWithName(exportNameOf(*path)));
    // A failed write leaves any earlier file as it was; the user has to know the export is not there.
    if (!error.empty())
        dialogs_.runAlert(
            {Dialogs::AlertStyle::Warning, "The playlist could not be exported.", error, {"OK"}});
}

} // namespace platter
