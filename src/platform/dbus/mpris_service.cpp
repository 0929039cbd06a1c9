#include "platform/dbus/mpris_service.h"

#include "core/app/app_delegate.h"
#include "platform/files/atomic_file.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QMetaProperty>
#include <QUrl>
#include <cmath>
#include <filesystem>

namespace platter {

namespace {

constexpr const char* playerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* noTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

qlonglong microseconds(double seconds) {
    return static_cast<qlonglong>(std::llround(seconds * 1e6));
}

QString statusText(AppDelegate::PlaybackStatus status) {
    switch (status) {
    case AppDelegate::PlaybackStatus::Playing:
        return QStringLiteral("Playing");
    case AppDelegate::PlaybackStatus::Paused:
        return QStringLiteral("Paused");
    case AppDelegate::PlaybackStatus::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QString interfaceOf(const QObject& adaptor) {
    const auto* meta = adaptor.metaObject();
    const int index = meta->indexOfClassInfo("D-Bus Interface");
    return index < 0 ? QString() : QString::fromLatin1(meta->classInfo(index).value());
}

} // namespace

MprisService::Claim MprisService::claimName() {
    auto bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return Claim::NoBus;
    const auto reply = bus.interface()->registerService(QString::fromLatin1(serviceName),
                                                        QDBusConnectionInterface::DontQueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) return Claim::Ours;
    // Someone holds the name: the running Platter shows its window instead of a second one.
    auto raise =
        QDBusMessage::createMethodCall(QString::fromLatin1(serviceName), QString::fromLatin1(objectPath),
                                       QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Raise"));
    bus.call(raise, QDBus::Block, 1000);
    return Claim::AnotherRuns;
}

MprisService::MprisService(AppDelegate& app, Hooks hooks, std::string artworkFolder, QObject* parent)
    : QObject(parent), app_(app), hooks_(std::move(hooks)), artworkFolder_(std::move(artworkFolder)) {
    new MprisRoot(this);
    new MprisPlayer(this);
    new MprisProperties(this);
    auto bus = QDBusConnection::sessionBus();
    registered_ = bus.isConnected() &&
                  bus.registerObject(QString::fromLatin1(objectPath), this, QDBusConnection::ExportAdaptors);
    lastSent_ = playerProperties();
    app_.addObserver(this);
}

MprisService::~MprisService() {
    app_.removeObserver(this);
    if (registered_) QDBusConnection::sessionBus().unregisterObject(QString::fromLatin1(objectPath));
}

QString MprisService::trackIdOf(std::string_view persistentID) {
    // Object path elements allow [A-Za-z0-9_] only; anything else is spelled out in hex.
    QString id = QStringLiteral("/org/mpris/MediaPlayer2/track/");
    static constexpr char hex[] = "0123456789ABCDEF";
    for (const char c : persistentID) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')) {
            id += QLatin1Char(c);
        } else {
            id += QLatin1Char('_');
            id += QLatin1Char(hex[u >> 4]);
            id += QLatin1Char(hex[u & 15]);
        }
    }
    if (persistentID.empty()) id += QLatin1Char('_');
    return id;
}

QString MprisService::fileUrl(std::string_view path) {
    const auto bytes = QByteArray(path.data(), static_cast<qsizetype>(path.size()));
    return QStringLiteral("file://") + QString::fromLatin1(bytes.toPercentEncoding("/!$&'()*+,;=:@"));
}

std::string MprisService::artworkFile(const std::string& folder, const std::string& image) {
    const auto digest =
        QCryptographicHash::hash(QByteArrayView(image.data(), static_cast<qsizetype>(image.size())),
                                 QCryptographicHash::Sha1)
            .toHex()
            .toStdString();
    const bool png = image.starts_with("\x89PNG");
    const auto path = folder + "/" + digest + (png ? ".png" : ".jpg");
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
    return writeFileAtomically(path, image).empty() ? path : std::string();
}

QVariantMap MprisService::metadata() {
    const auto song = app_.currentSong();
    if (!song)
        return {{QStringLiteral("mpris:trackid"),
                 QVariant::fromValue(QDBusObjectPath(QString::fromLatin1(noTrack)))}};
    QVariantMap m;
    m.insert(QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath(trackIdOf(song->persistentID()))));
    m.insert(QStringLiteral("mpris:length"), microseconds(app_.currentLength()));
    m.insert(QStringLiteral("xesam:title"), text(song->name()));
    m.insert(QStringLiteral("xesam:album"), text(song->album()));
    m.insert(QStringLiteral("xesam:artist"), QStringList{text(song->artist())});
    const auto albumArtist = song->albumArtist().empty() ? song->artist() : song->albumArtist();
    m.insert(QStringLiteral("xesam:albumArtist"), QStringList{text(albumArtist)});
    m.insert(QStringLiteral("xesam:trackNumber"), static_cast<int>(song->trackNumber()));
    m.insert(QStringLiteral("xesam:discNumber"), static_cast<int>(song->discNumer()));
    if (!song->filePath().empty())
        m.insert(QStringLiteral("xesam:url"), fileUrl(song->filePath()));
    if (const auto& artwork = app_.currentArtwork(); artwork && !artwork->empty())
        if (const auto file = artworkFile(artworkFolder_, *artwork); !file.empty())
            m.insert(QStringLiteral("mpris:artUrl"),
                     QUrl::fromLocalFile(QString::fromStdString(file)).toString());
    return m;
}

QVariantMap MprisService::playerProperties() {
    const bool current = app_.canSeek();
    return {
        {QStringLiteral("PlaybackStatus"), statusText(app_.playbackStatus())},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Volume"), app_.volume()},
        {QStringLiteral("CanGoNext"), app_.canGoNext()},
        {QStringLiteral("CanGoPrevious"), app_.canGoPrevious()},
        {QStringLiteral("CanSeek"), current},
        {QStringLiteral("CanPlay"), app_.canPlay()},
        {QStringLiteral("CanPause"), app_.canPlay()},
    };
}

void MprisService::appChanged(AppEvent event) {
    if (event == AppEvent::Playback) playbackChanged();
    if (event == AppEvent::Seeked) seeked(app_.position());
}

void MprisService::playbackChanged() {
    auto now = playerProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (lastSent_.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
    lastSent_ = std::move(now);
    if (changed.isEmpty() || !registered_) return;
    auto signal = QDBusMessage::createSignal(QString::fromLatin1(objectPath),
                                             QStringLiteral("org.freedesktop.DBus.Properties"),
                                             QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(playerInterface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

void MprisService::seeked(double seconds) {
    if (auto* player = findChild<MprisPlayer*>()) emit player->Seeked(microseconds(seconds));
}

void MprisService::refuse(const QString& why, QDBusError::ErrorType error) {
    if (calledFromDBus()) sendErrorReply(error, why);
}

// An empty interface name stands for any of the object's interfaces.
std::pair<QObject*, int> MprisProperties::find(const QString& interfaceName, const QString& name) {
    bool interfaceKnown = false;
    for (auto* adaptor : service_->findChildren<QDBusAbstractAdaptor*>(Qt::FindDirectChildrenOnly)) {
        if (adaptor == this || (!interfaceName.isEmpty() && interfaceOf(*adaptor) != interfaceName)) continue;
        interfaceKnown = true;
        const int index = adaptor->metaObject()->indexOfProperty(name.toLatin1().constData());
        if (index >= adaptor->metaObject()->propertyOffset()) return {adaptor, index};
    }
    if (interfaceKnown)
        service_->refuse(QStringLiteral("No property %1 in %2").arg(name, interfaceName), QDBusError::UnknownProperty);
    else
        service_->refuse(QStringLiteral("No interface %1").arg(interfaceName), QDBusError::UnknownInterface);
    return {};
}

QDBusVariant MprisProperties::Get(const QString& interfaceName, const QString& name) {
    const auto [adaptor, index] = find(interfaceName, name);
    if (!adaptor) return QDBusVariant(QVariant(0));
    return QDBusVariant(adaptor->metaObject()->property(index).read(adaptor));
}

QVariantMap MprisProperties::GetAll(const QString& interfaceName) {
    QVariantMap all;
    bool interfaceKnown = false;
    for (auto* adaptor : service_->findChildren<QDBusAbstractAdaptor*>(Qt::FindDirectChildrenOnly)) {
        if (adaptor == this || (!interfaceName.isEmpty() && interfaceOf(*adaptor) != interfaceName)) continue;
        interfaceKnown = true;
        const auto* meta = adaptor->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
            all.insert(QString::fromLatin1(meta->property(i).name()), meta->property(i).read(adaptor));
    }
    if (!interfaceKnown)
        service_->refuse(QStringLiteral("No interface %1").arg(interfaceName), QDBusError::UnknownInterface);
    return all;
}

void MprisProperties::Set(const QString& interfaceName, const QString& name, const QDBusVariant& value) {
    const auto [adaptor, index] = find(interfaceName, name);
    if (!adaptor) return;
    const auto property = adaptor->metaObject()->property(index);
    if (!property.isWritable())
        return service_->refuse(QStringLiteral("%1 is read-only").arg(name), QDBusError::PropertyReadOnly);
    if (value.variant().metaType() != property.metaType())
        return service_->refuse(QStringLiteral("%1 takes a %2").arg(name, QString::fromLatin1(property.typeName())),
                                QDBusError::InvalidArgs);
    property.write(adaptor, value.variant());
}

void MprisRoot::Raise() {
    if (service_->hooks().raise) service_->hooks().raise();
}

void MprisRoot::Quit() {
    if (service_->hooks().quit) service_->hooks().quit();
}

QString MprisPlayer::playbackStatus() const {
    return statusText(service_->app().playbackStatus());
}

double MprisPlayer::volume() const {
    return service_->app().volume();
}

void MprisPlayer::setVolume(double volume) {
    if (std::isfinite(volume)) service_->app().setVolume(volume);
}

qlonglong MprisPlayer::position() const {
    return microseconds(service_->app().position());
}

bool MprisPlayer::canPlay() const {
    return service_->app().canPlay();
}

bool MprisPlayer::canPause() const {
    return service_->app().canPlay();
}

bool MprisPlayer::canSeek() const {
    return service_->app().canSeek();
}

bool MprisPlayer::canGoNext() const {
    return service_->app().canGoNext();
}

bool MprisPlayer::canGoPrevious() const {
    return service_->app().canGoPrevious();
}

void MprisPlayer::setRate(double rate) {
    if (rate == 0) Pause();
}

void MprisPlayer::Next() {
    service_->app().forward();
}

void MprisPlayer::Previous() {
    service_->app().backward();
}

void MprisPlayer::Pause() {
    service_->app().pauseMusic();
}

void MprisPlayer::PlayPause() {
    service_->app().playPause();
}

void MprisPlayer::Stop() {
    service_->app().stop();
}

void MprisPlayer::Play() {
    service_->app().playMusic();
}

void MprisPlayer::Seek(qlonglong offset) {
    auto& app = service_->app();
    if (!app.canSeek()) return;
    // Before the start is the start; past the end is the next song.
    app.seek(std::max(0.0, app.position() + static_cast<double>(offset) / 1e6));
}

void MprisPlayer::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
    auto& app = service_->app();
    const auto song = app.currentSong();
    // A request for a song that is no longer current, or a place outside it, is stale.
    if (!song || !app.canSeek() || trackId.path() != MprisService::trackIdOf(song->persistentID()) ||
        position < 0 || static_cast<double>(position) / 1e6 > app.currentLength())
        return;
    app.seek(static_cast<double>(position) / 1e6);
}

void MprisPlayer::OpenUri(const QString&) {
    service_->refuse(QStringLiteral("Platter plays the orders of its library's playlists only."));
}

} // namespace platter
