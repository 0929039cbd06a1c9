// Counting plays and skips by the time heard, and keeping them in the library database over
// the library file's own counts.

#include "support/app_harness.h"

#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;
using testing::FakeQueuePlayer;

class Counting : public ::testing::Test {
protected:
    // Playlist "P" of `count` songs, each `seconds` long, in file order; s0's file says it
    // played 5 times.
    void start(int count, double seconds) {
        h.launchPlayable(count, seconds, {}, {}, [](int i, testing::Track& t) {
            if (i == 0) plist::set(t.extra, "Play Count", std::int64_t{5});
        });
    }
    FakeQueuePlayer& player() {
        h.finishTasks();
        return *h.players.made.back();
    }
    const MySong& song(int i) { return *h.playlist("P").shuffledSongs[static_cast<std::size_t>(i)]; }
    SongStats shown(int i) { return h.app->statsOf(song(i)).stats; }
    // Plays and skips as "plays/skips" per song, as shown.
    std::string counts(int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += (out.empty() ? "" : " ") + std::to_string(shown(i).plays) + "/" + std::to_string(shown(i).skips);
        return out;
    }
    AppHarness h;
};

TEST_F(Counting, APlayIsHalfTheSongHeardNotItsPosition) {
    start(3, 100);
    h.app->playMusic();
    player().at = 30;
    h.app->pauseMusic();
    h.app->playMusic();
    h.app->seek(80); // 30 s heard; the seek hears nothing
    player().at = 85;
    h.app->pauseMusic();
    EXPECT_EQ(counts(1), "5/0") << "35 s heard of 100";
    h.app->playMusic();
    h.view.calls.clear();
    player().end();
    EXPECT_EQ(counts(1), "6/0") << "its last 15 s make half";
    EXPECT_EQ(shown(0).lastPlayed, h.clock);
    EXPECT_EQ(h.database.stats[std::string(song(0).persistentID())].plays, 1) << "only what was counted here";
    EXPECT_NE(std::ranges::find(h.view.calls, "statistics"), h.view.calls.end());

    h.app->seek(60); // s1, sought past half without hearing it
    player().end();
    EXPECT_EQ(counts(2), "6/0 0/0");
    // s2 played half, then again from its start: a second play.
    player().at = 50;
    h.app->backward();
    player().at = 50;
    h.app->pauseMusic();
    EXPECT_EQ(counts(3), "6/0 0/0 2/0");
}

TEST_F(Counting, FourMinutesCountALongSongAndShortOnesNever) {
    start(2, 600);
    h.app->playMusic();
    player().at = 240;
    h.app->pauseMusic();
    h.app->playMusic();
    player().end();
    EXPECT_EQ(counts(2), "6/0 0/0") << "once per play, however long it plays on";

    AppHarness shortSongs;
    shortSongs.launchPlayable(1, 29);
    shortSongs.app->playMusic();
    shortSongs.finishTasks();
    shortSongs.players.made.back()->end();
    EXPECT_EQ(shortSongs.app->statsOf(*shortSongs.playlist("P").shuffledSongs[0]).stats.plays, 0);
}

TEST_F(Counting, ASkipIsMovingOnWithinTheFirstTwentySecondsHeard) {
    start(6, 100);
    h.app->playMusic();
    player().at = 10;
    h.app->pauseMusic(); // no skip
    h.app->playMusic();
    player().at = 19;
    h.app->forward();
    EXPECT_EQ(counts(1), "5/1");
    EXPECT_EQ(shown(0).lastSkipped, h.clock);
    player().at = 21;
    h.app->forward();
    player().end(true); // s2 failed to play: neither
    player().at = 5;
    h.app->nextAlbum(); // s3
    player().at = 5;
    h.app->pauseMusic();
    h.app->playFromSong(5); // s4, skipped while paused
    EXPECT_EQ(counts(6), "5/1 0/0 0/0 0/1 0/1 0/0");
    h.app->stop(); // no skip either
    h.app->forward();
    EXPECT_EQ(counts(6), "5/1 0/0 0/0 0/1 0/1 0/0");
    EXPECT_EQ(h.database.stats.size(), 3u);
}

TEST_F(Counting, CountsAndRatingsOutliveAReloadAndARestartWithoutCountingTwice) {
    start(2, 100);
    h.app->playMusic();
    player().end();
    h.app->rate(song(1), 80);
    h.readAgain();
    h.finishTasks();
    EXPECT_EQ(counts(2), "6/0 0/0");
    EXPECT_EQ(shown(1).rating, 80);
    h.launch();
    EXPECT_EQ(counts(2), "6/0 0/0");
    EXPECT_EQ(shown(1).rating, 80);
    h.app->rate(song(1), 0);
    EXPECT_EQ(h.database.stats[std::string(song(1).persistentID())].rating, 0) << "none, over the file's too";
    h.app->applicationWillTerminate();
    EXPECT_GE(h.database.flushes, 1);
}

TEST_F(Counting, HowTheDatabaseOpenedIsTold) {
    h.database.report = DatabaseRestoredFromBackup{1'600'000'000, "/data/library.sqlite.damaged"};
    start(1, 100);
    const auto& notice = h.app->statisticsNotice();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->kind, Notice::Kind::StatisticsRestored);
    EXPECT_EQ(notice->path, "/data/library.sqlite.damaged");
    EXPECT_EQ(notice->date, 1'600'000'000);
    h.database.report = DatabaseUnavailable{DatabaseUnavailable::Reason::NewerVersion, "version 9"};
    h.launch();
    EXPECT_EQ(h.app->statisticsNotice()->kind, Notice::Kind::StatisticsFromNewerVersion);
    h.database.report = DatabaseOpened{};
    h.launch();
    EXPECT_FALSE(h.app->statisticsNotice());
}

} // namespace
} // namespace platter
