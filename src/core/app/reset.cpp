#include "core/app/app_delegate.h"
#include "core/services/dialogs.h"

namespace platter {

void AppDelegate::resetAll() {
    if (!dialogs_.confirmReset()) return;
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
