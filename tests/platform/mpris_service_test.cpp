// The desktop's media controls, driven by a real client: playerctl, on a private session bus,
// against a controller on fake players.

#include "platform/dbus/mpris_service.h"
#include "platform/dbus/song_notifier.h"
#include "support/app_harness.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;

// Runs the program to its end while this process keeps answering the bus.
std::pair<int, std::string>
run(const QString& program, const QStringList& args,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    process.start(program, args);
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {-1, "timed out"};
    }
    const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    // What went wrong, where it did.
    const auto out = process.readAllStandardOutput() + (status ? process.readAllStandardError() : QByteArray());
    return {status, out.trimmed().toStdString()};
}

std::string playerctl(const QStringList& args) {
    const auto [status, out] =
        run(QStringLiteral("playerctl"), QStringList{QStringLiteral("-p"), QStringLiteral("platter")} + args);
    return status == 0 ? out : "exit " + std::to_string(status) + ": " + out;
}

// A call as any client sends it: `dbus-send` with typed arguments; its exit status and reply.
std::pair<int, std::string> call(const std::string& member, const QStringList& args = {}) {
    return run(QStringLiteral("dbus-send"),
               QStringList{"--session", "--print-reply",
                           QStringLiteral("--dest=%1").arg(MprisService::serviceName),
                           QString::fromLatin1(MprisService::objectPath), QString::fromStdString(member)} +
                   args);
}

// Runs the event loop until `done`, for at most 30 s, however busy the machine.
void pump(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done() && std::chrono::steady_clock::now() < end) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

// A desktop's notification service, on a connection of its own as another program's would be.
class FakeNotifications final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        uint replaces;
        QString summary, body;
        QVariantMap hints;
    };
    std::vector<Shown> shown;
    // The name goes with the connection: a real service may take it then.
    ~FakeNotifications() override { QDBusConnection::disconnectFromBus(QStringLiteral("notifications")); }
    bool start() {
        auto bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("notifications"));
        return bus.registerService(QStringLiteral("org.freedesktop.Notifications")) &&
               bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                  QDBusConnection::ExportAllSlots);
    }
public Q_SLOTS:
    uint Notify(const QString&, uint replaces, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap& hints, int) {
        shown.push_back({replaces, summary, body, hints});
        return static_cast<uint>(40 + shown.size());
    }
};

class Mpris : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(MprisService::claimName(), MprisService::Claim::Ours);
        h.artwork.images["song0.mp3"] = "\x89PNG first";
        h.launchPlayable(5, 60);
        service = std::make_unique<MprisService>(
            *h.app, MprisService::Hooks{.raise = [this] { ++raised; }, .quit = {}},
            (h.dir.path() / "art").string());
        ASSERT_TRUE(service->registered());
    }
    testing::FakeQueuePlayer& player() { return *h.players.made.back(); }

    AppHarness h;
    std::unique_ptr<MprisService> service;
    int raised = 0;
};

TEST_F(Mpris, PlayerctlPlaysPausesSkipsSeeksAndSetsTheVolume) {
    EXPECT_EQ(playerctl({"status"}), "Stopped") << "an order, not yet played";
    EXPECT_EQ(playerctl({"play-pause"}), "");
    EXPECT_EQ(playerctl({"status"}), "Playing");
    ASSERT_TRUE(player().playing);

    h.finishTasks(); // the artwork is read in the background
    const auto art = playerctl({"metadata", "--format", "{{title}}|{{album}}|{{artist}}|{{mpris:artUrl}}"});
    const auto file = h.dir.path() / "art";
    ASSERT_TRUE(art.starts_with("s0|album 1000|X|file://" + file.string() + "/")) << art;
    const auto written = std::filesystem::directory_iterator(file)->path();
    EXPECT_EQ(written.extension(), ".png");
    EXPECT_EQ(testing::TempDir::read(written), "\x89PNG first");
    EXPECT_EQ(playerctl({"metadata", "mpris:length"}), "60000000");

    EXPECT_EQ(playerctl({"next"}), "");
    EXPECT_EQ(playerctl({"metadata", "title"}), "s1");
    EXPECT_EQ(playerctl({"metadata", "--format", "{{mpris:artUrl}}"}), "") << "song 1 has no artwork";

    EXPECT_EQ(playerctl({"position", "5"}), "");
    EXPECT_EQ(player().seeks.back(), std::make_pair(player().currentItem(), 5.0));
    // playerctl moves a playing song's position on by the time since it last heard of it.
    EXPECT_NEAR(std::stod(playerctl({"position"})), 5.0, 0.5);
    EXPECT_EQ(playerctl({"previous"}), "");
    EXPECT_EQ(player().seeks.back(), std::make_pair(player().currentItem(), 0.0))
        << "back to the song's start";

    EXPECT_EQ(playerctl({"volume", "0.5"}), "");
    EXPECT_EQ(h.app->volume(), 0.5);
    EXPECT_EQ(player().volume, 0.5);
    EXPECT_EQ(std::stod(playerctl({"volume"})), 0.5);

    EXPECT_EQ(playerctl({"pause"}), "");
    EXPECT_EQ(playerctl({"status"}), "Paused");
    EXPECT_FALSE(player().playing);
    EXPECT_EQ(playerctl({"play"}), "");
    EXPECT_EQ(playerctl({"status"}), "Playing");
}

TEST_F(Mpris, FollowingClientsSeeEverySongChange) {
    QProcess follow;
    follow.start(QStringLiteral("playerctl"),
                 {"-p", "platter", "--follow", "metadata", "--format", "{{title}} {{status}}"});
    ASSERT_TRUE(follow.waitForStarted());
    std::string seen;
    const auto read = [&] { seen += follow.readAllStandardOutput().toStdString(); };
    h.app->playMusic();
    pump([&] {
        read();
        return seen.find("s0 Playing") != std::string::npos;
    });
    player().end();
    pump([&] {
        read();
        return seen.find("s1 Playing") != std::string::npos;
    });
    h.app->pauseMusic();
    pump([&] {
        read();
        return seen.find("s1 Paused") != std::string::npos;
    });
    follow.kill();
    follow.waitForFinished();
    EXPECT_NE(seen.find("s0 Playing\ns1 Playing\ns1 Paused"), std::string::npos) << seen;
}

TEST_F(Mpris, RequestsThatCannotBeMetChangeNothing) {
    const auto get = [](const char* interface, const char* name) {
        return call("org.freedesktop.DBus.Properties.Get",
                    {QStringLiteral("string:") + interface, QStringLiteral("string:") + name})
            .second;
    };
    EXPECT_NE(get("org.mpris.MediaPlayer2", "Identity").find("\"Platter\""), std::string::npos);
    EXPECT_NE(get("org.mpris.MediaPlayer2", "DesktopEntry").find("\"platter\""), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(std::string(PLATTER_DESKTOP_FOLDER "/") + MprisService::desktopEntry +
                                        ".desktop"))
        << "the desktop finds Platter's entry by that name";
    EXPECT_NE(get("org.mpris.MediaPlayer2", "HasTrackList").find("boolean false"), std::string::npos);
    EXPECT_EQ(call("org.mpris.MediaPlayer2.Raise").first, 0);
    EXPECT_EQ(raised, 1);
    const auto open = call("org.mpris.MediaPlayer2.Player.OpenUri", {"string:file:///etc/passwd"});
    EXPECT_NE(open.first, 0) << "answered with an error";

    h.app->playMusic();
    const auto current =
        QStringLiteral("objpath:") + MprisService::trackIdOf(h.app->currentSong()->persistentID());
    const auto setPosition = [](const QString& track, const char* microseconds) {
        call("org.mpris.MediaPlayer2.Player.SetPosition", {track, QStringLiteral("int64:") + microseconds});
    };
    setPosition(QStringLiteral("objpath:/org/mpris/MediaPlayer2/track/stale"), "1000000");
    setPosition(current, "-1");
    setPosition(current, "61000000");
    EXPECT_TRUE(player().seeks.empty()) << "a stale track, or a place outside the song";
    setPosition(current, "2000000");
    EXPECT_EQ(player().seeks.back().second, 2.0);

    const auto setVolume = [](const char* value) {
        call("org.freedesktop.DBus.Properties.Set", {"string:org.mpris.MediaPlayer2.Player", "string:Volume",
                                                     QStringLiteral("variant:double:") + value});
    };
    setVolume("nan");
    EXPECT_EQ(h.app->volume(), 1.0) << "not a number is passed over";
    setVolume("-3");
    EXPECT_EQ(h.app->volume(), 0.0);
    setVolume("7");
    EXPECT_EQ(h.app->volume(), 1.0);

    call("org.mpris.MediaPlayer2.Player.Seek", {"int64:-100000000"});
    EXPECT_EQ(player().seeks.back().second, 0.0) << "before the start is the start";
    call("org.mpris.MediaPlayer2.Player.Seek", {"int64:100000000"});
    EXPECT_EQ(h.app->currentSong()->name(), "s1") << "past the end is the next song";

    EXPECT_EQ(MprisService::trackIdOf("AB-c/ d"), "/org/mpris/MediaPlayer2/track/AB_2Dc_2F_20d");
    EXPECT_EQ(MprisService::fileUrl("/m/caf\xe9 #1.flac"), "file:///m/caf%E9%20%231.flac")
        << "a name that is no UTF-8 keeps its bytes";
}

TEST_F(Mpris, PropertiesSayWhatIsTrueAndRefuseWhatIsNot) {
    const auto get = [](const char* name) {
        return call("org.freedesktop.DBus.Properties.Get",
                    {"string:org.mpris.MediaPlayer2.Player", QStringLiteral("string:") + name});
    };
    const auto set = [](const char* name, const char* value) {
        return call("org.freedesktop.DBus.Properties.Set",
                    {"string:org.mpris.MediaPlayer2.Player", QStringLiteral("string:") + name,
                     QStringLiteral("variant:") + value});
    };
    const auto has = [](const std::pair<int, std::string>& reply, const char* text) {
        return reply.second.find(text) != std::string::npos;
    };
    h.app->changePlaylistWithRow(-1);
    EXPECT_TRUE(has(get("CanGoNext"), "boolean false")) << "no song to move from";
    h.app->changePlaylistWithRow(1);
    h.app->showPlaylist();
    EXPECT_TRUE(has(get("CanGoNext"), "boolean true")) << "an order not yet played moves on too";
    h.app->playMusic();
    EXPECT_TRUE(has(get("CanGoNext"), "boolean true"));
    EXPECT_TRUE(has(get("CanGoPrevious"), "boolean true"));

    const auto wrongType = set("Volume", "string:loud");
    EXPECT_TRUE(has(wrongType, "org.freedesktop.DBus.Error.InvalidArgs")) << wrongType.second;
    EXPECT_TRUE(has(set("Volume", "int32:0"), "InvalidArgs")) << "an integer is no volume either";
    EXPECT_EQ(h.app->volume(), 1.0);
    EXPECT_TRUE(has(set("CanSeek", "boolean:false"), "PropertyReadOnly"));
    EXPECT_TRUE(has(get("Shuffle"), "UnknownProperty")) << "the order is Platter's own";
    EXPECT_TRUE(has(set("LoopStatus", "string:Track"), "UnknownProperty"));
    EXPECT_TRUE(has(call("org.freedesktop.DBus.Properties.GetAll", {"string:org.mpris.MediaPlayer2.Player"}),
                    "PlaybackStatus"));
    EXPECT_TRUE(has(call("org.freedesktop.DBus.Properties.GetAll", {"string:no.such.Interface"}),
                    "UnknownInterface"));

    const auto described = call("org.freedesktop.DBus.Introspectable.Introspect").second;
    const auto once = described.find("\"org.freedesktop.DBus.Properties\"");
    EXPECT_NE(once, std::string::npos);
    EXPECT_EQ(described.find("\"org.freedesktop.DBus.Properties\"", once + 1), std::string::npos) << described;
    EXPECT_NE(described.find("<property name=\"Volume\" type=\"d\" access=\"readwrite\""), std::string::npos);

    EXPECT_EQ(set("Rate", "double:1").first, 0);
    EXPECT_TRUE(player().playing);
    EXPECT_EQ(set("Rate", "double:0").first, 0);
    EXPECT_EQ(playerctl({"status"}), "Paused") << "a rate of 0 pauses";
    EXPECT_TRUE(has(get("CanGoNext"), "boolean true")) << "Next moves a paused song on too";
}

TEST_F(Mpris, NewSongsAreAnnouncedWhileTheWindowIsElsewhereEachReplacingTheLast) {
    FakeNotifications notifications;
    ASSERT_TRUE(notifications.start());
    bool windowActive = false;
    SongNotifier notifier(
        *h.app, [&] { return windowActive; }, (h.dir.path() / "art").string());
    const auto shown = [&](std::size_t n) {
        pump([&] { return notifications.shown.size() >= n; });
        return notifications.shown.size();
    };
    h.app->playMusic();
    h.finishTasks(); // its artwork arrives before the service has answered
    ASSERT_EQ(shown(2), 2u);
    EXPECT_EQ(notifications.shown[0].summary, "s0");
    EXPECT_EQ(notifications.shown[0].body, "X \u2014 album 1000");
    EXPECT_EQ(notifications.shown[0].replaces, 0u);
    EXPECT_FALSE(notifications.shown[0].hints.contains("image-path")) << "its artwork was still being read";
    EXPECT_EQ(notifications.shown[1].replaces, 41u)
        << "the artwork arrived: the same song, shown again with it, once the first is known";
    EXPECT_TRUE(notifications.shown[1].hints.value("image-path").toString().startsWith("file://"));
    player().end();
    ASSERT_EQ(shown(3), 3u);
    EXPECT_EQ(notifications.shown[2].summary, "s1");
    EXPECT_EQ(notifications.shown[2].replaces, 42u);

    windowActive = true; // the song shows in the window
    player().end();
    windowActive = false;
    h.app->pauseMusic();
    h.app->playMusic(); // the same song, resumed
    h.app->setSongNotifications(false);
    player().end();
    h.app->setSongNotifications(true);
    player().end();
    ASSERT_EQ(shown(4), 4u);
    EXPECT_EQ(notifications.shown[3].summary, "s4") << "none of s2 and s3";
    EXPECT_EQ(notifications.shown[3].replaces, 43u);
}

TEST_F(Mpris, WithoutANotificationServiceSongsPlayOnQuietly) {
    SongNotifier notifier(
        *h.app, [] { return false; }, (h.dir.path() / "art").string());
    ::testing::internal::CaptureStderr();
    h.app->playMusic();
    QEventLoop loop; // time for the bus to answer that nobody shows notifications
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    player().end();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(h.app->currentSong()->name(), "s1");
}

TEST_F(Mpris, ASecondStartRaisesTheFirstWindowAndLeaves) {
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(h.dir.path().string()));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(h.dir.path().string()));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       QString::fromStdString((h.dir.path() / "config").string()));
    const auto [status, out] = run(QStringLiteral(PLATTER_BINARY), {}, environment);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(raised, 1);
    EXPECT_FALSE(std::filesystem::exists(h.dir.path() / "config")) << "it left before reading any settings";
}

} // namespace
} // namespace platter

#include "mpris_service_test.moc"
