#include "platform/dbus/song_notifier.h"

#include "core/app/app_delegate.h"
#include "platform/dbus/mpris_service.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QUrl>
#include <utility>

namespace platter {

namespace {
QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
} // namespace

SongNotifier::SongNotifier(AppDelegate& app, std::function<bool()> windowActive, std::string artworkFolder,
                           QObject* parent)
    : QObject(parent), app_(app), windowActive_(std::move(windowActive)),
      artworkFolder_(std::move(artworkFolder)) {
    app_.addObserver(this);
}

SongNotifier::~SongNotifier() {
    app_.removeObserver(this);
}

void SongNotifier::playbackChanged() {
    if (app_.playbackStatus() != AppDelegate::PlaybackStatus::Playing) return;
    const auto song = app_.currentSong();
    if (!song) return;
    QString image;
    if (const auto& artwork = app_.currentArtwork(); artwork && !artwork->empty())
        if (const auto file = MprisService::artworkFile(artworkFolder_, *artwork); !file.empty())
            image = QUrl::fromLocalFile(QString::fromStdString(file)).toString();
    // The same song again only when its artwork arrived after it was announced.
    const bool artworkArrived = song == shown_ && !image.isEmpty() && image != image_;
    if (song == shown_ && !artworkArrived) return;
    if (!artworkArrived) announced_ = app_.songNotifications() && !(windowActive_ && windowActive_());
    shown_ = song;
    image_ = image;
    if (announced_) notify(*song, image);
}

void SongNotifier::notify(const MySong& song, const QString& image) {
    if (waiting_) {
        resend_ = true;
        return;
    }
    waiting_ = true;
    auto call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints{{QStringLiteral("desktop-entry"), QString::fromLatin1(MprisService::desktopEntry)},
                      {QStringLiteral("category"), QStringLiteral("x-gnome.music")}};
    if (!image.isEmpty()) hints.insert(QStringLiteral("image-path"), image);
    call << QStringLiteral("Platter") << lastId_ << QStringLiteral("platter") << text(song.name())
         << text(song.artist()) + QStringLiteral(" \u2014 ") + text(song.album()) << QStringList() << hints
         << qint32{-1};
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        // No service, or one that failed: the song still plays, and there is nobody to tell.
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid()) lastId_ = reply.value();
        w->deleteLater();
        waiting_ = false;
        if (std::exchange(resend_, false) && announced_ && shown_) notify(*shown_, image_);
    });
}

} // namespace platter
