// Steering the units of an order: skipping the rest of the playing unit, playing it again, and
// moving a unit to play next, on orders of whole albums, discs and songs.

#include "support/app_harness.h"

#include <cmath>
#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AppHarness;
using testing::FakeQueuePlayer;

class AlbumSteering : public ::testing::Test {
protected:
    // Playlist "P": album A is s0 s1 on disc 1 and s2 on disc 2, album B is s3 s4, album C is s5.
    void SetUp() override {
        h.launchPlayable(6, 60, {}, {}, [](int i, testing::Track& t) {
            t.album = i < 3 ? "A" : i < 5 ? "B" : "C";
            t.disc = i < 2 ? 1 : 2;
            t.number = i;
        });
    }
    MyPlaylist& p() { return h.playlist("P"); }
    // The player once the lengths read ahead have reached its queue.
    FakeQueuePlayer& player() {
        h.finishTasks();
        return *h.players.made.back();
    }
    // Album A's setting, with the order drawn again in album order.
    void cutA(AlbumSetting setting) {
        for (const auto& album : p().albums())
            if (album->albumName() == "A") album->setting() = std::move(setting);
        h.app->commitAlbumSettings();
        h.random.next.assign(6, 0);
        h.app->reshuffle();
    }
    static std::string names(const std::vector<SongPtr>& songs) {
        std::string out;
        for (const auto& s : songs)
            out += (out.empty() ? "" : " ") + std::string(s->name());
        return out;
    }
    std::string queued() {
        std::string out;
        for (const auto& e : player().queue)
            out += (out.empty() ? "" : " ") + std::filesystem::path(e.path).stem().string().substr(4);
        return out;
    }
    AppHarness h;
};

TEST_F(AlbumSteering, NextAndRestartAlbumFollowTheUnitsOfEachGrain) {
    ASSERT_EQ(names(p().shuffledSongs), "s0 s1 s2 s3 s4 s5");
    h.app->playMusic();
    player().end();
    h.app->restartAlbum();
    EXPECT_EQ(p().playingNum, 0) << "back to the album's first song";
    EXPECT_TRUE(player().playing);
    h.app->nextAlbum();
    EXPECT_EQ(p().playingNum, 3);
    EXPECT_EQ(queued(), "3 4 5 0 1 2") << "a new round from there";
    h.app->nextAlbum();
    EXPECT_EQ(p().playingNum, 5);
    h.app->nextAlbum();
    EXPECT_FALSE(h.app->playinglistNumber()) << "past the last unit the order has played";
    EXPECT_EQ(p().playingNum, 0);
    EXPECT_EQ(h.storedPositions().at("P"), 0);
    h.app->nextAlbum();
    EXPECT_EQ(p().playingNum, 3) << "paused at the start, it skips all the same";
    EXPECT_FALSE(h.app->playinglistNumber());

    cutA(AlbumSetting::discs({{1, false}, {2, false}}));
    h.app->playMusic();
    h.app->nextAlbum();
    EXPECT_EQ(p().playingNum, 2) << "the rest of disc 1";
    h.app->restartAlbum();
    EXPECT_EQ(p().playingNum, 2) << "disc 2 is its own unit";

    cutA(AlbumSetting::songs());
    h.app->playMusic();
    h.app->nextAlbum();
    EXPECT_EQ(p().playingNum, 1);
    h.app->restartAlbum();
    EXPECT_EQ(p().playingNum, 1);
}

TEST_F(AlbumSteering, WhilePausedTheUnitsAreSteeredAndItStaysPaused) {
    h.app->playMusic();
    player().end(); // s1 of album A
    h.app->pauseMusic();
    h.app->nextAlbum();
    EXPECT_EQ(p().playingNum, 3);
    EXPECT_FALSE(h.app->playinglistNumber()) << "still paused";
    EXPECT_EQ(h.app->playbackStatus(), AppDelegate::PlaybackStatus::Paused);
    EXPECT_EQ(h.view.calls.back(), "now s3 row 3");
    h.app->nextAlbum();
    EXPECT_EQ(p().playingNum, 5);
    h.app->restartAlbum();
    EXPECT_EQ(p().playingNum, 5) << "C is one song";
    h.app->nextAlbum();
    EXPECT_EQ(p().playingNum, 0) << "past the last unit, the order's start";
    h.app->forward();
    h.app->restartAlbum();
    EXPECT_EQ(p().playingNum, 0) << "back to A's first song";
    EXPECT_FALSE(h.app->playinglistNumber());
    h.app->forward();
    h.app->playMusic();
    EXPECT_EQ(queued(), "1 2 3 4 5 0") << "played from the song it was moved to";
}

TEST_F(AlbumSteering, PlayNextMovesAWholeUnitAndTheSongPlaysOn) {
    h.app->playMusic();
    player().end(); // s1 plays
    h.app->playNext(5);
    EXPECT_EQ(names(p().shuffledSongs), "s0 s1 s2 s5 s3 s4");
    EXPECT_EQ(p().playingNum, 1);
    EXPECT_EQ(queued(), "1 2 5 3 4") << "the current item kept, the rest of the order queued anew";
    EXPECT_EQ(h.players.made.size(), 1u);
    EXPECT_TRUE(player().playing);
    for (int i = 0; i < 5; ++i)
        player().end();
    EXPECT_FALSE(h.app->playinglistNumber()) << "the round ends with the order's last song";
    EXPECT_EQ(p().playingNum, 0);
    h.app->playMusic();
    EXPECT_EQ(queued(), "0 1 2 5 3 4");
    h.app->playNext(4);
    EXPECT_EQ(names(p().shuffledSongs), "s0 s1 s2 s3 s4 s5") << "from the middle of B: all of B moves";
    h.app->playNext(0);
    h.app->playNext(3);
    EXPECT_EQ(names(p().shuffledSongs), "s0 s1 s2 s3 s4 s5") << "the playing unit, and the one already next";

    h.app->playFromSong(3); // B plays
    h.app->playNext(0);
    EXPECT_EQ(names(p().shuffledSongs), "s3 s4 s0 s1 s2 s5") << "taken from before the playing unit";
    EXPECT_EQ(p().playingNum, 0) << "s3 still plays, now first";
    EXPECT_EQ(queued(), "3 4 0 1 2 5");

    // Stored like a shuffled order: it and its units come back at the next start.
    EXPECT_EQ(h.storedOrder("P")->front(), p().shuffledSongs.front()->persistentID());
    h.launch();
    h.app->changePlaylistWithRow(1);
    h.app->showPlaylist();
    EXPECT_EQ(names(p().shuffledSongs), "s3 s4 s0 s1 s2 s5");
    h.app->playMusic();
    h.app->nextAlbum();
    EXPECT_EQ(p().playingNum, 2);
    h.app->nextAlbum();
    EXPECT_EQ(p().playingNum, 5);
    h.app->reshuffle();
    EXPECT_EQ(p().playingNum, 0) << "a reshuffle draws a fresh order as before";
}

TEST_F(AlbumSteering, LoudnessFollowsTheGrainAndAChangedChoiceReachesEveryPlayerAndTheSettings) {
    using Gain = QueuePlayer::Gain;
    const auto gains = [&] {
        std::vector<Gain> out;
        for (const auto& e : player().queue)
            out.push_back(e.gain);
        return out;
    };
    cutA(AlbumSetting::songs());
    h.app->playMusic();
    EXPECT_EQ(gains(), (std::vector{Gain::Track, Gain::Track, Gain::Track, Gain::Album, Gain::Album, Gain::Album}))
        << "A's songs one by one, B and C whole";

    h.app->setReplayGain({ReplayGain::Mode::Off, 3, -4});
    EXPECT_EQ(gains(), std::vector(6, Gain::Recorded));
    EXPECT_EQ(player().replayGainLevels, std::make_pair(3.0, -4.0));
    h.app->setReplayGain({ReplayGain::Mode::Track, 99, std::nan("")});
    EXPECT_EQ(player().replayGainLevels, std::make_pair(15.0, 0.0)) << "clamped; no number is no gain";

    // Stored, and read back at the next start; what is not understood keeps its default.
    h.launch();
    EXPECT_EQ(h.app->replayGain(), (ReplayGain{ReplayGain::Mode::Track, 15, 0}));
    plist::set(h.settings.values, "replayGain", plist::Dict{{"mode", "loud"}, {"preAmp", "3"}, {"untagged", -40}});
    h.launch();
    EXPECT_EQ(h.app->replayGain(), (ReplayGain{ReplayGain::Mode::ByGrain, 0, -15}));
    h.app->changePlaylistWithRow(1);
    h.app->showPlaylist();
    h.app->playMusic();
    EXPECT_EQ(player().replayGainLevels, std::make_pair(0.0, -15.0)) << "a new player starts with them";
}

TEST_F(AlbumSteering, PlayNextOnTheSelectedPlaylistLeavesAnotherPlayingOne) {
    h.app->changePlaylistWithRow(0); // All Songs
    h.app->showPlaylist();
    h.app->playMusic();
    auto& allSongs = player();
    const auto before = allSongs.queue.size();
    h.app->changePlaylistWithRow(1);
    h.app->showPlaylist();
    h.app->playNext(3);
    EXPECT_EQ(names(p().shuffledSongs), "s0 s1 s2 s3 s4 s5") << "B already follows A";
    h.app->playNext(5);
    EXPECT_EQ(names(p().shuffledSongs), "s0 s1 s2 s5 s3 s4") << "after P's own position";
    EXPECT_EQ(h.app->playinglistNumber(), 0u);
    EXPECT_TRUE(allSongs.playing);
    EXPECT_EQ(allSongs.queue.size(), before);
    EXPECT_EQ(h.players.made.size(), 1u) << "P has no queue and gets none";
}

} // namespace
} // namespace platter
