#include "core/app/export.h"

#include "core/app/app_delegate.h"
#include "core/model/my_playlist.h"
#include "core/plist/xml_writer.h"
#include "core/services/dialogs.h"
#include "core/services/file_writer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace platter {

namespace {

// A line break would end the entry early: the text goes on one line.
void appendOneLine(std::string& out, std::string_view text) {
    for (const char c : text)
        out += c == '\n' || c == '\r' ? ' ' : c;
}

bool endsWithNoCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(b)) == a; });
}

} // namespace

M3u8Playlist m3u8Of(std::span<const SongPtr> order) {
    M3u8Playlist out{"#EXTM3U\n", 0};
    for (const auto& song : order) {
        const auto path = song->filePath();
        // A path with a line break cannot be written as one; no player would find it.
        if (song->fileStatus() != SongFile::Status::Found || path.empty() ||
            path.find_first_of("\r\n") != std::string_view::npos) {
            ++out.leftOut;
            continue;
        }
        // -1 is the format's unknown length.
        const auto seconds = song->duration() > 0 ? static_cast<std::int64_t>(std::lround(song->duration())) : -1;
        out.text += "#EXTINF:" + std::to_string(seconds) + ',';
        if (!song->artist().empty()) {
            appendOneLine(out.text, song->artist());
            out.text += " - ";
        }
        appendOneLine(out.text, song->name());
        out.text += '\n';
        out.text += path;
        out.text += '\n';
    }
    return out;
}

bool isM3u8Path(std::string_view path) {
    return endsWithNoCase(path, ".m3u8") || endsWithNoCase(path, ".m3u");
}

void AppDelegate::exportPlaylist() {
    const auto* selected = playlistAt(selection_.playlist);
    if (!selected || selection_.configuring) return;
    const auto path = dialogs_.runExportPanel(selected->name());
    if (!path) return;
    if (!isM3u8Path(*path)) {
        const auto error = services_.files.writeAtomically(*path, selected->xmlDataWithName(exportNameOf(*path)));
        // A failed write leaves any earlier file as it was; the user has to know the export is not there.
        if (!error.empty()) dialogs_.tellExportFailed(error);
        return;
    }
    const auto m3u8 = m3u8Of(selected->shuffledSongs);
    if (const auto error = services_.files.writeAtomically(*path, m3u8.text); !error.empty())
        return dialogs_.tellExportFailed(error);
    if (m3u8.leftOut > 0)
        dialogs_.tellSongsLeftOut(
            {selected->name(), m3u8.leftOut, static_cast<std::int64_t>(selected->shuffledSongs.size())});
}

} // namespace platter
