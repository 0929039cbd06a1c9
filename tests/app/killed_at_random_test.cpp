// Platter, as the program wires it, killed with SIGKILL at random moments while it scans a music
// folder that grows, counts plays and sends their listens to a loopback site that is at times
// slow, failing or away. After each kill the library database must pass its integrity check and
// hold every play the killed run saw on disk; at the end the site must hold each play's listen
// once, in the order played.
//
// Each killed run is this binary again (`--killed-run`): a process of its own, on no bus, with
// players it steers and a clock that gives every play a moment of its own.

#include "app/platter_app.h"
#include "core/model/added_tracks.h"
#include "core/model/file_url.h"
#include "core/persistence/user_defaults.h"
#include "core/plist/xml_writer.h"
#include "platform/db/library_snapshot.h"
#include "platform/db/sqlite_handle.h"
#include "support/audio_fixture.h"
#include "support/fakes.h"
#include "support/library_fixture.h"
#include "support/listen_site.h"

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <random>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace platter {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

// What a run tells the test through its pipe.
enum class Heard : std::int64_t { Ready = -1, Settled = -2 }; // else: plays on disk

std::int64_t playsIn(const LibrarySnapshot& snapshot) {
    std::int64_t plays = 0;
    for (const auto& [id, stats] : snapshot.stats)
        plays += stats.plays;
    return plays;
}

const MyPlaylist* playlistNamed(const AppDelegate& app, std::string_view name, std::int64_t& row) {
    for (std::size_t i = 0; i < app.allPlaylists().size(); ++i)
        if (app.allPlaylists()[i]->name() == name) {
            row = static_cast<std::int64_t>(i);
            return app.allPlaylists()[i].get();
        }
    return nullptr;
}

// Players the run steers; the controller destroys them when the library changes.
struct SteeredPlayers final : QueuePlayerFactory {
    std::vector<std::pair<testing::FakeQueuePlayer*, std::unique_ptr<int>>> made; // with whether alive
    std::unique_ptr<QueuePlayer> create() override {
        auto player = std::make_unique<testing::FakeQueuePlayer>();
        made.emplace_back(player.get(), std::make_unique<int>(1));
        player->live = made.back().second.get();
        return player;
    }
    testing::FakeQueuePlayer* newest() const {
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            if (*it->second) return it->first;
        return nullptr;
    }
};

// A run: `play` plays the tones one after another, each to its end, telling how many plays the
// database file holds whenever that grows; `settle` plays nothing and quits once the music
// folder's `files` songs are added and the `pending` listens of earlier runs are sent.
int killedRun(int argc, char** argv) {
    const int pipe = std::atoi(argv[2]);
    const std::int64_t clockBase = std::atoll(argv[3]);
    const bool settle = std::string_view(argv[4]) == "settle";
    const std::size_t files = std::strtoull(argv[5], nullptr, 10);
    const bool pending = std::string_view(argv[6]) != "0";
    const auto tell = [pipe](std::int64_t what) {
        if (::write(pipe, &what, sizeof what) != sizeof what) std::_Exit(3);
    };
    QApplication qtApp(argc, argv);
    SteeredPlayers players;
    const auto began = Steady::now();
    // A millisecond a second: plays a few milliseconds apart each have their own moment.
    PlatterApp program({.players = &players,
                        .linkPanes = false,
                        .onBus = false,
                        .clock = [&] { return clockBase + (Steady::now() - began) / 1ms; }});
    if (program.launch() != AppDelegate::LaunchResult::Ready) return 4;
    auto& app = program.delegate();
    const auto database = std::string(std::getenv("XDG_DATA_HOME")) + "/platter/library.sqlite";
    std::int64_t onDisk = -1;
    bool ready = false;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (!ready) {
            std::int64_t row = 0;
            if (!app.songFilesKnown() || !playlistNamed(app, "P", row)) return;
            app.changePlaylistWithRow(row);
            app.showPlaylist();
            ready = true;
            tell(static_cast<std::int64_t>(Heard::Ready));
        }
        if (settle) {
            std::int64_t row = 0;
            const auto* added = playlistNamed(app, "Added on This Computer", row);
            const auto queue = app.scrobbling().queues()[0];
            if (!app.addingMusic() && added && added->songs().size() == files && queue.sending &&
                queue.waiting == 0 && (!pending || queue.lastAccepted))
                program.quit();
            return;
        }
        if (auto* player = players.newest(); player && !player->queue.empty())
            player->end();
        else
            app.playMusic();
        std::string error;
        if (const auto snapshot = readLibrarySnapshot(database, error); snapshot && playsIn(*snapshot) > onDisk)
            tell(onDisk = playsIn(*snapshot));
    });
    tick.start(15);
    QApplication::exec();
    tell(static_cast<std::int64_t>(Heard::Settled));
    return 0;
}

class KilledAtRandom : public ::testing::Test {
protected:
    void SetUp() override {
        const auto root = dir.path();
        // A playlist of songs long enough to count, more than a run plays; six files between them.
        std::vector<testing::Track> tracks;
        std::vector<std::int64_t> ids;
        for (int i = 0; i < 120; ++i) {
            tracks.push_back({i + 1, "Tone " + std::to_string(i), "Tones", "X", {}, {}, i + 1, 31000, {}});
            ids.push_back(i + 1);
        }
        auto library = testing::libraryValue(tracks, {{"P", "P", ids, {}}});
        auto& entries = *plist::find(*library.get<plist::Dict>(), "Tracks")->get<plist::Dict>();
        fs::create_directories(root / "tones");
        for (int i = 0; i < 6; ++i)
            testing::makeTone(root / "tones" / (std::to_string(i) + ".wav"), testing::AudioFormat::Wav, 31);
        for (std::size_t i = 0; i < entries.size(); ++i)
            plist::set(*entries[i].second.get<plist::Dict>(), "Location",
                       fileUrlFromPath((root / "tones" / (std::to_string(i % 6) + ".wav")).string()));
        std::ofstream(root / "Library.xml") << plist::writeXml(library);
        testing::makeTone(root / "template.ogg", testing::AudioFormat::Ogg, 1);

        fs::create_directories(root / "config/platter");
        plist::Dict settings;
        plist::set(settings, "xmlUrl", fileUrlFromPath((root / "Library.xml").string()));
        plist::set(settings, keys::musicFolders, plist::Array{(root / "music").string()});
        std::ofstream(root / "config/platter/settings.plist") << plist::writeXml(settings);
        std::ofstream(root / "config/platter/accounts.json")
            << R"({"listenBrainz":{"token":"good","server":")" << server.base() << "\"}}";
        for (const auto& [name, folder] : {std::pair{"XDG_CONFIG_HOME", "config"},
                                           {"XDG_STATE_HOME", "state"},
                                           {"XDG_CACHE_HOME", "cache"},
                                           {"XDG_DATA_HOME", "data"},
                                           {"HOME", "."},
                                           {"XDG_RUNTIME_DIR", "."}})
            ::setenv(name, (root / folder).c_str(), 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (root / "no-bus").string()).c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    // Another album in the music folder, of `count` copies of the template.
    void addAlbum(const std::string& name, int count) {
        fs::create_directories(dir.path() / "music" / name);
        for (int i = 0; i < count; ++i)
            fs::copy_file(dir.path() / "template.ogg", dir.path() / "music" / name / (std::to_string(i) + ".ogg"));
        files += static_cast<std::size_t>(count);
    }

    struct Run {
        pid_t pid = -1;
        int pipe = -1;
        std::int64_t onDisk = 0; // the most plays it said the file holds
        bool ready = false, settled = false;

        // Reads what it told, until `until` holds, it ended or `limit` passed; whether `until` held.
        bool listen(const std::function<bool()>& until, std::chrono::milliseconds limit) {
            const auto end = Steady::now() + limit;
            while (!until()) {
                const auto left = std::max(0ms, std::chrono::duration_cast<std::chrono::milliseconds>(end - Steady::now()));
                pollfd p{pipe, POLLIN, 0};
                if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                    if (left == 0ms) return false;
                    continue;
                }
                std::int64_t heard = 0;
                if (::read(pipe, &heard, sizeof heard) != sizeof heard) return until();
                if (heard == static_cast<std::int64_t>(Heard::Ready)) ready = true;
                else if (heard == static_cast<std::int64_t>(Heard::Settled)) settled = true;
                else onDisk = std::max(onDisk, heard);
            }
            return true;
        }
    };
    Run start(const char* mode, std::int64_t clockBase, std::int64_t pending = 0) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return {};
        const int childEnd = ::fcntl(ends[1], F_DUPFD, 3); // without O_CLOEXEC: the run keeps it
        const auto args = std::vector<std::string>{"platter-run", "--killed-run", std::to_string(childEnd),
                                                   std::to_string(clockBase), mode, std::to_string(files),
                                                   std::to_string(pending)};
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::vector<char*> argv;
            for (const auto& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv("/proc/self/exe", argv.data());
            std::_Exit(127);
        }
        ::close(ends[1]);
        ::close(childEnd);
        return {pid, ends[0]};
    }
    static void end(Run& run, int signal) {
        if (signal) ::kill(run.pid, signal);
        ::waitpid(run.pid, nullptr, 0);
        run.listen([] { return false; }, 0ms); // what it said before it died
        ::close(run.pipe);
    }

    // Opens the database as an outsider would, checks it and sums one column; 0 before there is one.
    std::int64_t checkedSum(const char* query) const {
        if (!fs::exists(dir.path() / "data/platter/library.sqlite")) return 0;
        int code = 0;
        std::string error;
        const auto db = sqlite::Connection::open((dir.path() / "data/platter/library.sqlite").string(),
                                                 SQLITE_OPEN_READONLY, code, error);
        EXPECT_TRUE(db) << error;
        sqlite::Statement check(db, "PRAGMA integrity_check");
        EXPECT_EQ(check.step(), SQLITE_ROW);
        EXPECT_EQ(check.text(0), "ok");
        return db.integer(query).value_or(-1);
    }

    testing::TempDir dir;
    testing::Site site;
    testing::FakeCatalogue server{
        testing::FakeCatalogue::FullHandler([this](const testing::ServedRequest& r) { return site.answer(r); })};
    std::size_t files = 0;
};

TEST_F(KilledAtRandom, TheDatabaseStaysWholeAndEveryPlayOnDiskReachesTheSiteOnceInOrder) {
    addAlbum("First", 150);
    std::mt19937 random(24);
    using Mode = testing::Site::Mode;
    int killedBeforeReady = 0;
    for (int kill = 0; kill < 50; ++kill) {
        SCOPED_TRACE(kill);
        const Mode modes[] = {Mode::Up, Mode::Up, Mode::Up, Mode::TakesThenStalls, Mode::Failing, Mode::Down,
                              Mode::RateLimited};
        site.set(modes[random() % std::size(modes)]);
        addAlbum("Round " + std::to_string(kill), 8);
        auto run = start("play", 1'800'000'000 + kill * 10'000'000LL);
        ASSERT_GT(run.pid, 0);
        // Most are killed while they play; some while they start.
        if (random() % 5 == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 800));
            killedBeforeReady += !run.listen([&] { return run.ready; }, 0ms);
        } else {
            ASSERT_TRUE(run.listen([&] { return run.ready; }, 60s));
            run.listen([] { return false; }, std::chrono::milliseconds(random() % 1200));
        }
        end(run, SIGKILL);
        EXPECT_GE(checkedSum("SELECT total(plays) FROM song_stats"), run.onDisk) << "a play on disk was lost";
    }

    site.set(Mode::Up);
    auto last = start("settle", 2'400'000'000, checkedSum("SELECT count(*) FROM listens"));
    ASSERT_TRUE(last.listen([&] { return last.settled; }, 120s)) << "the last run settles";
    end(last, 0);

    const auto plays = checkedSum("SELECT total(plays) FROM song_stats");
    EXPECT_EQ(checkedSum("SELECT count(*) FROM added_songs"), static_cast<std::int64_t>(files));
    EXPECT_EQ(checkedSum("SELECT count(*) FROM listens"), 0);
    const auto received = site.received();
    EXPECT_EQ(static_cast<std::int64_t>(received.size()), plays) << "a listen for each play counted";
    std::int64_t previous = 0;
    for (const auto& listen : received) {
        const auto at = std::stoll(listen);
        EXPECT_LT(previous, at) << "in the order played: " << listen;
        previous = at;
    }
    std::printf("%lld plays; %d submissions; %d of 50 runs killed before they played\n",
                static_cast<long long>(plays), site.submissions(), killedBeforeReady);
}

} // namespace
} // namespace platter

int main(int argc, char** argv) {
    if (argc >= 7 && std::string_view(argv[1]) == "--killed-run") return platter::killedRun(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
