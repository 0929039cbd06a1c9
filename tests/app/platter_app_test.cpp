// Platter as the program wires it, on a private session bus and in a profile of its own: on the
// demo library, with players the test steers, and as the real binary.

#include "app/instance_lock.h"
#include "app/platter_app.h"
#include "core/model/file_url.h"
#include "core/plist/xml_writer.h"
#include "platform/dbus/mpris_service.h"
#include "support/audio_fixture.h"
#include "support/fakes.h"
#include "support/library_fixture.h"
#include "support/listen_site.h"
#include "ui/scrobbling_page.h"
#include "ui/setting_window_controller.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QProcess>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace platter {
namespace {

using namespace std::chrono_literals;

// Runs the event loop until `done`, for at most `limit`; whether it was done.
bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 30s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// A program's output, once it has ended; the event loop runs meanwhile.
std::string output(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    waitFor([&] { return process.state() == QProcess::NotRunning; });
    return process.readAllStandardOutput().trimmed().toStdString();
}

QString text(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

bool onBus(const char* name) {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(QString::fromLatin1(name));
}

// A profile of Platter's own whose settings name the demo library, as a user's after the first
// start; the XDG variables point there while the test runs.
class Profile {
public:
    Profile() {
        useLibrary(PLATTER_DEMO_LIBRARY);
        for (const auto& [name, folder] : variables())
            ::setenv(name, (dir.path() / folder).c_str(), 1);
    }
    void useLibrary(const char* path) {
        const auto settings = dir.path() / "config/platter";
        std::filesystem::create_directories(settings);
        std::ofstream(settings / "settings.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>xmlUrl</key><string>"
            << QUrl::fromLocalFile(QString::fromUtf8(path)).toString(QUrl::FullyEncoded).toStdString()
            << "</string></dict></plist>\n";
    }
    ~Profile() {
        for (const auto& [name, folder] : variables())
            ::unsetenv(name);
    }
    static std::vector<std::pair<const char*, const char*>> variables() {
        return {{"XDG_CONFIG_HOME", "config"},
                {"XDG_STATE_HOME", "state"},
                {"XDG_CACHE_HOME", "cache"},
                {"XDG_DATA_HOME", "data"}};
    }
    std::string settings() const { return testing::TempDir::read(dir.path() / "config/platter/settings.plist"); }
    std::filesystem::path state(const std::string& name) const { return dir.path() / "state/platter" / name; }

    testing::TempDir dir;
};

class Wiring : public ::testing::Test {
protected:
    void SetUp() override {
        // The media-control tests of this run may hold Platter's name: this Platter takes it.
        QDBusConnection::sessionBus().interface()->unregisterService(
            QString::fromLatin1(MprisService::serviceName));
        ASSERT_EQ(MprisService::claimName(), MprisService::Claim::Ours);
    }
    // Platter started on the demo library, its songs' files found, the playlist "Orchestral"
    // showing its order.
    std::unique_ptr<PlatterApp> start() {
        auto program = std::make_unique<PlatterApp>(PlatterApp::Options{.players = &players, .linkPanes = false});
        if (program->launch() != AppDelegate::LaunchResult::Ready) return nullptr;
        auto& app = program->delegate();
        if (!waitFor([&] { return app.songFilesKnown(); })) return nullptr;
        for (std::size_t i = 0; i < app.allPlaylists().size(); ++i)
            if (app.allPlaylists()[i]->name() == "Orchestral") app.changePlaylistWithRow(static_cast<std::int64_t>(i));
        app.showPlaylist();
        return program;
    }

    // Platter on a playlist "P" of `count` songs of 31 s, long enough to count, "Tone 0" on;
    // made once for the profile.
    std::unique_ptr<PlatterApp> startOnTones(int count) {
        const auto file = profile.dir.path() / "Tones.xml";
        if (!std::filesystem::exists(file)) {
            std::vector<testing::Track> tracks;
            std::vector<std::int64_t> ids;
            for (int i = 0; i < count; ++i) {
                tracks.push_back({i + 1, "Tone " + std::to_string(i), "Tones", "X", {}, {}, i + 1, 31000, {}});
                ids.push_back(i + 1);
            }
            auto library = testing::libraryValue(tracks, {{"P", "P", ids, {}}});
            auto& entries = *plist::find(*library.get<plist::Dict>(), "Tracks")->get<plist::Dict>();
            for (int i = 0; i < count; ++i) {
                const auto song = profile.dir.path() / ("tone" + std::to_string(i) + ".wav");
                testing::makeTone(song, testing::AudioFormat::Wav, 31);
                plist::set(*entries[static_cast<std::size_t>(i)].second.get<plist::Dict>(), "Location",
                           fileUrlFromPath(song.string()));
            }
            std::ofstream(file) << plist::writeXml(library);
        }
        profile.useLibrary(file.c_str());
        auto program = std::make_unique<PlatterApp>(PlatterApp::Options{.players = &players, .linkPanes = false});
        if (program->launch() != AppDelegate::LaunchResult::Ready) return nullptr;
        auto& app = program->delegate();
        if (!waitFor([&] { return app.songFilesKnown(); })) return nullptr;
        app.changePlaylistWithRow(1);
        app.showPlaylist();
        return program;
    }

    Profile profile;
    testing::FakePlayers players;
};

// dunst, the notification daemon, on the private bus and a virtual display of its own.
class Dunst {
public:
    Dunst() {
        process_.setChildProcessModifier([] { ::setsid(); });
        process_.start(QStringLiteral("xvfb-run"),
                       {QStringLiteral("-a"), QStringLiteral("dunst"), QStringLiteral("-config"), QStringLiteral("/dev/null")});
    }
    ~Dunst() {
        if (process_.processId() > 0) ::kill(-static_cast<pid_t>(process_.processId()), SIGTERM);
        process_.waitForFinished();
    }
    bool ready() { return waitFor([] { return onBus("org.freedesktop.Notifications"); }); }
    // Every notification it showed, as JSON.
    static std::string shown() {
        output(QStringLiteral("dunstctl"), {QStringLiteral("close-all")});
        return output(QStringLiteral("dunstctl"), {QStringLiteral("history")});
    }

private:
    QProcess process_;
};

TEST_F(Wiring, ANewSongIsAnnouncedWhileAnotherWindowIsInFrontUntilTheUserTurnsThatOff) {
    Dunst dunst;
    ASSERT_TRUE(dunst.ready());
    auto program = start();
    ASSERT_TRUE(program);
    QWidget elsewhere; // another program's window takes the front
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(waitFor([&] { return !program->window().isActiveWindow(); }));

    program->delegate().playMusic();
    const auto song = program->delegate().currentSong();
    ASSERT_TRUE(song);
    std::string shown;
    EXPECT_TRUE(waitFor([&] { return (shown = Dunst::shown()).find(song->name()) != std::string::npos; })) << shown;

    // Controls › Announce New Songs, unticked, stays so at the next start.
    program->delegate().setSongNotifications(false);
    program.reset();
    program = start();
    ASSERT_TRUE(program);
    EXPECT_FALSE(program->delegate().songNotifications());
}

TEST_F(Wiring, APlayIsCountedInTheLibraryDatabaseAndKeptAcrossARestart) {
    // One 40-second song, long enough to count.
    const auto song = profile.dir.path() / "tone.ogg";
    testing::makeTone(song, testing::AudioFormat::Ogg, 40);
    auto library = testing::libraryValue({{1, "Tone", "Tones", "X", {}, {}, {}, 40000, {}}}, {{"P", "P", {1}, {}}});
    auto& tracks = *plist::find(*library.get<plist::Dict>(), "Tracks")->get<plist::Dict>();
    plist::set(*tracks.front().second.get<plist::Dict>(), "Location", fileUrlFromPath(song.string()));
    const auto file = profile.dir.path() / "Library.xml";
    std::ofstream(file) << plist::writeXml(library);
    profile.useLibrary(file.c_str());
    const auto plays = [&](PlatterApp& program) {
        auto& app = program.delegate();
        EXPECT_TRUE(waitFor([&] { return app.songFilesKnown(); }));
        app.changePlaylistWithRow(1);
        app.showPlaylist();
        return app.statsOf(*app.playlistAt(1)->shuffledSongs.at(0)).stats.plays;
    };
    {
        PlatterApp program({.players = &players, .linkPanes = false});
        ASSERT_EQ(program.launch(), AppDelegate::LaunchResult::Ready);
        ASSERT_EQ(plays(program), 0);
        program.delegate().playMusic();
        players.made.back()->end();
        EXPECT_EQ(plays(program), 1);
        program.quit();
    }
    EXPECT_TRUE(std::filesystem::exists(profile.dir.path() / "data/platter/library.sqlite"));
    PlatterApp again({.players = &players, .linkPanes = false});
    ASSERT_EQ(again.launch(), AppDelegate::LaunchResult::Ready);
    EXPECT_FALSE(again.delegate().statisticsNotice());
    EXPECT_EQ(plays(again), 1);
}

TEST_F(Wiring, ASignalToQuitWritesWhatQuitWrites) {
    for (const auto& [signal, seconds, volume] : {std::tuple{SIGTERM, "7", "0.25"}, {SIGHUP, "9", "0.5"}}) {
        auto program = start();
        ASSERT_TRUE(program);
        auto& app = program->delegate();
        app.playMusic();
        app.seek(std::stod(seconds));
        app.setVolume(std::stod(volume));
        std::filesystem::remove(profile.state("window.conf"));

        ::kill(::getpid(), signal);
        EXPECT_TRUE(waitFor([&] { return program->quitting(); })) << "signal " << signal;
        EXPECT_NE(testing::TempDir::read(profile.state("seconds.plist")).find(std::string("<real>") + seconds),
                  std::string::npos);
        EXPECT_NE(profile.settings().find(std::string("<real>") + volume + "</real>"), std::string::npos)
            << profile.settings();
        EXPECT_TRUE(QSettings(text(profile.state("window.conf")), QSettings::IniFormat).contains("window"));
    }
}

TEST_F(Wiring, QuitFromAMediaControlClosesTheFirstStartPanelAndEndsTheStart) {
    profile.useLibrary("/nowhere/iTunes Music Library.xml");
    PlatterApp program({.players = &players, .linkPanes = false});
    QProcess quit;
    bool panelShown = false;
    const auto since = std::chrono::steady_clock::now();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == "openPanel" && !panelShown) {
            panelShown = true;
            quit.start(QStringLiteral("dbus-send"), {"--session", "--print-reply", "--dest=org.mpris.MediaPlayer2.platter",
                                                     "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2.Quit"});
        } else if (modal && std::chrono::steady_clock::now() - since > 30s) {
            modal->close(); // the panel stayed: the test ends all the same
        }
    });
    watch.start(50);
    EXPECT_EQ(program.launch(), AppDelegate::LaunchResult::Cancelled);
    EXPECT_TRUE(panelShown);
    EXPECT_TRUE(program.quitting());
    EXPECT_TRUE(waitFor([&] { return quit.state() == QProcess::NotRunning; }));
    EXPECT_EQ(quit.exitCode(), 0) << "Quit was answered";
}

// The real program, on this run's bus or on none, in the test's profile.
class Program {
public:
    explicit Program(const Profile& profile, bool withBus = true) {
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), text(profile.dir.path()));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), text(profile.dir.path()));
        if (!withBus)
            environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                               QStringLiteral("unix:path=") + text(profile.dir.path() / "no-bus"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PLATTER_BINARY), QStringList{});
    }
    ~Program() {
        if (process.state() != QProcess::NotRunning) process.kill();
        process.waitForFinished();
    }
    bool ended() {
        return waitFor([&] { return process.state() == QProcess::NotRunning; }, 60s);
    }
    QProcess process;
};

TEST_F(Wiring, TheProgramKilledWithTermWritesItsVolumeAndLayout) {
    QDBusConnection::sessionBus().interface()->unregisterService(QString::fromLatin1(MprisService::serviceName));
    Program platter(profile);
    // Once its window shows its playlists, a control sets the volume.
    ASSERT_TRUE(waitFor([&] { return output(QStringLiteral("playerctl"), {"-p", "platter", "status"}) == "Stopped"; },
                        60s));
    output(QStringLiteral("playerctl"), {"-p", "platter", "volume", "0.4"});
    ASSERT_TRUE(waitFor([&] {
        return output(QStringLiteral("playerctl"), {"-p", "platter", "volume"}).starts_with("0.4");
    }));
    platter.process.terminate();
    ASSERT_TRUE(platter.ended());
    EXPECT_EQ(platter.process.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(profile.settings().find("<real>0.4</real>"), std::string::npos) << profile.settings();
    EXPECT_TRUE(std::filesystem::exists(profile.state("window.conf")));
}

// Whether a process holds a lock on the file, as the kernel lists them (without taking one).
bool locked(const std::filesystem::path& file) {
    struct ::stat st {};
    if (::stat(file.c_str(), &st) != 0) return false;
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);)
        if (line.find("FLOCK") != std::string::npos && line.ends_with(":" + std::to_string(st.st_ino) + " 0 EOF"))
            return true;
    return false;
}

TEST_F(Wiring, AMinimizedWindowComesBackWhenAskedFor) {
    QDBusConnection::sessionBus().interface()->unregisterService(QString::fromLatin1(MprisService::serviceName));
    // On a virtual display with a window manager, as a desktop runs it: the window is minimized,
    // then a control (or a second start) asks for it.
    const auto script = QStringLiteral(R"sh(
        openbox --sm-disable >/dev/null 2>&1 &
        for i in $(seq 300); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window && break; sleep 0.1; done
        "$PLATTER" >/dev/null 2>&1 &
        platter=$!
        window=$(timeout 60 xdotool search --sync --onlyvisible --pid $platter --name '^Platter$' | head -1)
        echo "window: $window" >&2
        state() { xprop -id $window WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'; }
        # Once the window manager has taken the window on.
        for i in $(seq 300); do [ "$(state)" = Normal ] && break; sleep 0.1; done
        xdotool windowminimize $window
        for i in $(seq 300); do [ "$(state)" = Iconic ] && break; sleep 0.1; done
        echo "minimized: $(state)"
        dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.platter /org/mpris/MediaPlayer2 \
            org.mpris.MediaPlayer2.Raise >/dev/null
        for i in $(seq 300); do [ "$(state)" = Normal ] && break; sleep 0.1; done
        echo "raised: $(state)"
        kill $platter
        wait $platter
    )sh");
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PLATTER"), QStringLiteral(PLATTER_BINARY));
    environment.insert(QStringLiteral("HOME"), text(profile.dir.path()));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), text(profile.dir.path()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess desktop;
    desktop.setProcessEnvironment(environment);
    desktop.setChildProcessModifier([] { ::setsid(); });
    desktop.start(QStringLiteral("xvfb-run"), {"-a", "bash", "-c", script});
    const auto group = static_cast<pid_t>(desktop.processId());
    ASSERT_GT(group, 0);
    const bool ended = waitFor([&] { return desktop.state() == QProcess::NotRunning; }, 180s);
    // Whatever hung, nothing of it outlives the test.
    ::kill(-group, SIGKILL);
    desktop.waitForFinished();
    EXPECT_TRUE(ended);
    EXPECT_EQ(desktop.readAllStandardOutput().toStdString(), "minimized: Iconic\nraised: Normal\n")
        << desktop.readAllStandardError().toStdString();
    EXPECT_TRUE(waitFor([] { return !onBus(MprisService::serviceName); })) << "that Platter has ended";
}

TEST_F(Wiring, WithoutABusASecondStartLeavesTheFirstAlone) {
    Program first(profile, false);
    ASSERT_TRUE(waitFor([&] { return locked(profile.dir.path() / "platter.lock"); }, 60s));
    Program second(profile, false);
    ASSERT_TRUE(second.ended());
    EXPECT_NE(second.process.exitCode(), 0);
    EXPECT_NE(second.process.readAllStandardError().toStdString().find("already running"), std::string::npos);
    EXPECT_EQ(first.process.state(), QProcess::Running);
}


TEST_F(Wiring, ListensReachTheSiteAndARefusedTokenIsSaidOnceUntilThePreferencesFixIt) {
    testing::Site site;
    testing::FakeCatalogue server{
        testing::FakeCatalogue::FullHandler([&](const testing::ServedRequest& r) { return site.answer(r); })};
    const auto accounts = profile.dir.path() / "config/platter/accounts.json";
    std::ofstream(accounts) << R"({"listenBrainz":{"token":"stale","server":")" << server.base() << "\"}}";
    auto program = startOnTones(4);
    ASSERT_TRUE(program);
    auto& app = program->delegate();
    std::vector<std::string> heard;
    const auto hearOne = [&] { // the song that plays, to its end: it counts
        heard.push_back(std::string(app.currentSong()->name()));
        players.made.back()->end();
    };
    const auto refusals = [&] {
        const auto notices = app.notices();
        return std::count_if(notices.begin(), notices.end(),
                             [](const Notice& n) { return n.kind == Notice::Kind::ScrobbleAccountRejected; });
    };
    app.playMusic();
    hearOne();
    ASSERT_TRUE(waitFor([&] { return refusals() == 1; }));
    hearOne(); // kept, and not said again
    ASSERT_TRUE(waitFor([&] { return app.scrobbling().queues()[0].waiting == 2; }));
    EXPECT_EQ(refusals(), 1);

    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<MySettingWindowController*>(QApplication::activeModalWidget());
        ASSERT_TRUE(window);
        auto* page = window->scrobbling();
        EXPECT_EQ(page->queue(ScrobbleSite::ListenBrainz)->text(),
                  QStringLiteral("Listens waiting: 2. The site refused the account."));
        page->listenBrainzToken()->setText(QStringLiteral("good"));
        page->checkButton(ScrobbleSite::ListenBrainz)->click();
        EXPECT_TRUE(waitFor([&] {
            return page->verdict(ScrobbleSite::ListenBrainz)->text() == QStringLiteral("The account of ann works.");
        })) << page->verdict(ScrobbleSite::ListenBrainz)->text().toStdString();
        window->okButton()->click();
    });
    app.preferences();
    ASSERT_TRUE(waitFor([&] { return site.received().size() == 2; }));
    EXPECT_EQ(refusals(), 0);
    hearOne();
    const auto next = std::string(app.currentSong()->name());
    ASSERT_TRUE(waitFor([&] { return site.received().size() == 3 && !site.playingNow().empty(); }));
    EXPECT_EQ(site.playingNow().back(), next) << "the song that began";

    QTimer::singleShot(0, [&] { // the open preferences follow the queue
        auto* window = qobject_cast<MySettingWindowController*>(QApplication::activeModalWidget());
        ASSERT_TRUE(window);
        const auto* queue = window->scrobbling()->queue(ScrobbleSite::ListenBrainz);
        hearOne();
        EXPECT_TRUE(waitFor([&] {
            return site.received().size() == 4 && queue->text().startsWith(QStringLiteral("Listens waiting: 0. Last accepted at "));
        })) << queue->text().toStdString();
        window->cancelButton()->click();
    });
    app.preferences();
    const auto received = site.received();
    for (std::size_t i = 0; i < heard.size(); ++i)
        EXPECT_EQ(received[i].substr(received[i].find(' ') + 1), heard[i]) << "in the order heard";
    struct stat file {};
    ASSERT_EQ(::stat(accounts.c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    EXPECT_NE(testing::TempDir::read(accounts).find("\"good\""), std::string::npos);
}


} // namespace
} // namespace platter
