#pragma once

// The desktop's media controls (GNOME Shell, KDE Plasma, the lock screen, media keys,
// playerctl, KDE Connect) speak MPRIS 2 on the session bus. This adapter shows the controller's
// playback there and passes the controls' requests to the controller's own actions; it decides
// nothing about playback itself.

#include "core/app/app_events.h"

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusVariant>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <string>
#include <string_view>

namespace platter {

class AppDelegate;

// The object on the bus; its adaptors carry the two interfaces. Calls reach the adaptors in
// this object's context, so errors are answered through it.
class MprisService final : public QObject, protected QDBusContext, private AppObserver {
    Q_OBJECT
public:
    static constexpr const char* serviceName = "org.mpris.MediaPlayer2.platter";
    static constexpr const char* objectPath = "/org/mpris/MediaPlayer2";
    // The installed .desktop file's name, without its suffix.
    static constexpr const char* desktopEntry = "platter";

    struct Hooks {
        std::function<void()> raise;
        std::function<void()> quit;
    };

    enum class Claim { Ours, AnotherRuns, NoBus };
    // Takes the service's name on the session bus before anything else starts, so that a
    // second start can tell one is running; when one is, that one is asked to raise its window.
    static Claim claimName();

    // `artworkFolder`: where the current song's artwork is written for the desktop to read.
    MprisService(AppDelegate& app, Hooks hooks, std::string artworkFolder, QObject* parent = nullptr);
    ~MprisService() override;
    // Whether the objects are on the bus.
    bool registered() const { return registered_; }

    // The object path naming a song, from its persistent ID.
    static QString trackIdOf(std::string_view persistentID);
    // A file's URL from its path's bytes, whatever their encoding.
    static QString fileUrl(std::string_view path);
    // The artwork's file, written once per image; empty when it cannot be written.
    static std::string artworkFile(const std::string& folder, const std::string& image);

    AppDelegate& app() const { return app_; }
    const Hooks& hooks() const { return hooks_; }
    QVariantMap metadata();
    // Answers the call being handled with an error.
    void refuse(const QString& why, QDBusError::ErrorType error = QDBusError::NotSupported);

private:
    void appChanged(AppEvent event) override;
    void playbackChanged();
    void seeked(double seconds);
    QVariantMap playerProperties();

    AppDelegate& app_;
    Hooks hooks_;
    std::string artworkFolder_;
    QVariantMap lastSent_;
    bool registered_ = false;
};

// org.mpris.MediaPlayer2
class MprisRoot final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    explicit MprisRoot(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}
    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const { return QStringLiteral("Platter"); }
    QString desktopEntry() const { return QString::fromLatin1(MprisService::desktopEntry); }
    QStringList supportedUriSchemes() const { return {}; }
    QStringList supportedMimeTypes() const { return {}; }
public Q_SLOTS:
    void Raise();
    void Quit();

private:
    MprisService* service_;
};

// org.freedesktop.DBus.Properties, in place of Qt's own: Qt converts a written value of another
// type as best it can, and answers one it cannot convert as its own failure. Here a value of the
// wrong type is refused as invalid, and nothing else changes.
class MprisProperties final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.DBus.Properties")
    // Qt describes the interface already.
    Q_CLASSINFO("D-Bus Introspection", " ")
public:
    explicit MprisProperties(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}
public Q_SLOTS:
    QDBusVariant Get(const QString& interfaceName, const QString& name);
    QVariantMap GetAll(const QString& interfaceName);
    void Set(const QString& interfaceName, const QString& name, const QDBusVariant& value);

private:
    // The adaptor of that interface, and the index of its property; none when unknown, the
    // call then answered with an error.
    std::pair<QObject*, int> find(const QString& interfaceName, const QString& name);

    MprisService* service_;
};

// org.mpris.MediaPlayer2.Player
class MprisPlayer final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
    Q_PROPERTY(bool CanPlay READ canPlay)
    Q_PROPERTY(bool CanPause READ canPause)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(bool CanControl READ canControl)
public:
    explicit MprisPlayer(MprisService* service) : QDBusAbstractAdaptor(service), service_(service) {}
    QString playbackStatus() const;
    // The order is Platter's own: a control cannot change how it repeats or shuffles, so
    // LoopStatus and Shuffle, which are optional, are not offered.
    double rate() const { return 1.0; }
    // Songs play at their own speed only; a rate of 0 is as Pause.
    void setRate(double rate);
    QVariantMap metadata() const { return service_->metadata(); }
    double volume() const;
    void setVolume(double volume);
    qlonglong position() const;
    bool canPlay() const;
    bool canPause() const;
    bool canSeek() const;
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canControl() const { return true; }
public Q_SLOTS:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& trackId, qlonglong position);
    void OpenUri(const QString& uri);
Q_SIGNALS:
    void Seeked(qlonglong position);

private:
    MprisService* service_;
};

} // namespace platter
