#pragma once

// Announces each new song through the desktop's notification service
// (org.freedesktop.Notifications) while Platter's window is not the active one, each
// notification replacing the one before. Without such a service nothing is shown and
// nothing is reported: a desktop may simply have none.

#include "core/model/my_song.h"
#include "core/app/app_events.h"

#include <QObject>
#include <functional>
#include <string>

namespace platter {

class AppDelegate;

class SongNotifier final : public QObject, private AppObserver {
    Q_OBJECT
public:
    // `windowActive`: whether the user is looking at Platter's window, where the song shows.
    SongNotifier(AppDelegate& app, std::function<bool()> windowActive, std::string artworkFolder,
                 QObject* parent = nullptr);
    ~SongNotifier() override;

private:
    void appChanged(AppEvent event) override {
        if (event == AppEvent::Playback) playbackChanged();
    }
    void playbackChanged();
    void notify(const MySong& song, const QString& image);

    AppDelegate& app_;
    std::function<bool()> windowActive_;
    std::string artworkFolder_;
    SongPtr shown_;          // the song last announced
    QString image_;          // and its artwork as announced
    bool announced_ = false; // whether it was shown, or passed over with the window in front
    uint lastId_ = 0;        // the service's number for it, replaced by the next
    // A notification goes out only once the one before is answered, or it could not replace
    // that one; what changed meanwhile is sent then.
    bool waiting_ = false;
    bool resend_ = false;
};

} // namespace platter
