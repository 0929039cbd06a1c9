#include "core/app/app_delegate.h"
#include "core/services/dialogs.h"

namespace platter {

void AppDelegate::resetAll() {
    const auto choice =
        dialogs_.runAlert({Dialogs::AlertStyle::Critical,
                                    "If you click \"OK\", all playlists created in \"" +
                                        std::string(bundleName) + "\" will deleted.\nAre you sure?",
                                    {},
                                    {"OK", "Cancel"}});
    if (choice != 0) return;
    pauseMusic();
    // The store is neither read nor written: playlists whose songs did not change get their
    // orders and positions back from the working copies.
    setAllTracks();
    allMediaObjs_ = newestMediaObjs_;
    setMediaObjects();
}

void AppDelegate::chooseLibrary() {
    const auto chosen = dialogs_.runOpenPanel();
    if (!chosen) return;
    const auto library = takeChosenLibrary(*chosen);
    if (!library) return;
    pauseMusic();
    // A reading of the old file still under way would replace the new model.
    ++libraryChange_;
    buildModel(library);
    allMediaObjs_ = newestMediaObjs_;
    setMediaObjects();
    watchLibraryFile();
}

} // namespace platter
