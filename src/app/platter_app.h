#pragma once

// Platter as it runs: the real services, the controller, the window, the desktop's media
// controls and song announcements, wired together. The program and the tests that start it
// build this one class, so the two cannot wire Platter differently.

#include "core/app/app_delegate.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

namespace platter {

class MainWindow;
class QueuePlayerFactory;

class PlatterApp final : public QObject {
    Q_OBJECT
public:
    struct Options {
        // The players; the GStreamer ones unless given.
        QueuePlayerFactory* players = nullptr;
        // Whether the window has its store-link panes (the web engine).
        bool linkPanes = true;
        // Whether this process holds Platter's name on the session bus: only then does it offer
        // the media controls there.
        bool onBus = true;
        // UTC seconds since 1970, for what is counted and sent; the system's unless given.
        std::function<std::int64_t()> clock = {};
    };
    // Settings, state and caches live where the XDG variables (or the home folder) say.
    explicit PlatterApp(Options options);
    ~PlatterApp() override;

    // Shows the window and reads the library, asking for its file while none is known.
    // Cancelled when the user closed that panel, or Platter was told to quit meanwhile.
    AppDelegate::LaunchResult launch();
    // Writes everything quitting writes: the window's layout, the song's place, the volume.
    void storeEverything();
    // Closes as the window's Quit does, open dialogs first; the way a signal, the session's
    // end or a media control's Quit go.
    void quit();
    // Brings the window to the front, from minimized too.
    void raise();

    AppDelegate& delegate();
    MainWindow& window();
    bool quitting() const { return quitting_; }

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    bool quitting_ = false;
};

} // namespace platter
