#include "core/app/app_delegate.h"
#include "core/model/my_playlist.h"
#include "core/plist/xml_writer.h"
#include "core/services/dialogs.h"
#include "core/services/file_writer.h"

#include <string>
#include <unordered_set>

namespace platter {

void AppDelegate::exportPlaylist() {
    const auto* selected = playlistAt(selection_.playlist);
    if (!selected || selection_.configuring) return;
    const auto path = dialogs_.runExportPanel(selected->name());
    if (!path) return;
    const auto error = services_.files.writeAtomically(*path, selected->xmlDataWithName(exportNameOf(*path)));
    // A failed write leaves any earlier file as it was; the user has to know the export is not there.
    if (!error.empty()) dialogs_.tellExportFailed(error);
}

} // namespace platter
