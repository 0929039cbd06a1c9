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
    playback_.pause();
    // The store is neither read nor written: playlists whose songs did not change get their
    // orders and positions back from the working copies.
    if (const auto library = reload_.readAgain()) buildModel(library);
    media_.relink();
}

void AppDelegate::chooseLibrary() {
    const auto library = reload_.choose();
    if (!library) return;
    playback_.pause();
    reload_.watch();
    buildModel(library);
    media_.relink();
}

} // namespace platter
