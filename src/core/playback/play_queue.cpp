#include "core/library/app_delegate.h"
#include "core/services/view_refresh.h"

namespace platter {

void AppDelegate::pauseMusic() {
    if (!playinglistNumber_) return;
    const bool selected = playlistAt(playlistNumber_) != nullptr;
    if (viewCont_)
        viewCont_->willPauseWithAudioShoudDelete(!selected || configuring_,
                                                 selected && playlistNumber_ != playinglistNumber_);
    playinglistNumber_.reset();
}

} // namespace platter
