#include "core/playback/artwork_holder.h"
#include "support/app_harness.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace platter {
namespace {

using testing::AppHarness;
using testing::FakeQueuePlayer;
using testing::ManualTasks;

// What the desktop's controls hear.
struct Told final : AppObserver {
    const AppDelegate* app = nullptr;
    int changes = 0;
    std::vector<double> seeks;
    void appChanged(AppEvent event) override {
        if (event == AppEvent::Playback) ++changes;
        if (event == AppEvent::Seeked) seeks.push_back(app->position());
    }
};

using Status = AppDelegate::PlaybackStatus;

class PlayQueue : public ::testing::Test {
protected:
    void build(int count, double seconds, std::set<int> withoutLocation = {}, std::set<int> missing = {}) {
        h.launchPlayable(count, seconds, std::move(withoutLocation), std::move(missing));
    }
    MyPlaylist& p() { return h.playlist("P"); }
    // The queue and its player once the lengths read ahead have reached it.
    const platter::PlayQueue& q() {
        h.finishTasks();
        return *h.queueOf(p());
    }
    FakeQueuePlayer& player() {
        h.finishTasks();
        return *h.players.made.back();
    }
    std::vector<std::string> appended() { return player().appended; }
    AppHarness h;
};

TEST_F(PlayQueue, QueuesFortyMinutesAheadAndOneMorePerEndedSong) {
    build(100, 300);
    h.app->playMusic();
    // Only the song that plays now has its file opened here; the others wait for the disk lane.
    EXPECT_EQ(h.audioFiles.reads, 1);
    EXPECT_EQ(h.players.made.back()->queue.size(), 1u);
    EXPECT_EQ(player().queue.size(), 8u);
    EXPECT_LE(h.audioFiles.reads, 16) << "fifty minutes read ahead by the library's lengths, not the whole order";
    EXPECT_TRUE(player().playing);
    EXPECT_EQ(h.view.calls.back(), "play s0");
    player().end();
    EXPECT_EQ(player().queue.size(), 8u);
    EXPECT_EQ(q().items().size(), 9u);
    EXPECT_EQ(p().playingNum, 1);
    EXPECT_EQ(h.view.calls.back(), "now s1 row 1");
    EXPECT_EQ(h.storedPositions().at("P"), 1) << "the next song is remembered after every song";
}

TEST_F(PlayQueue, LongSongsFillTheWindowSooner) {
    build(3, 1200);
    h.app->playMusic();
    EXPECT_EQ(appended(), (std::vector<std::string>{"song0.mp3", "song1.mp3"}));
    player().end();
    EXPECT_EQ(appended().size(), 3u);
    player().end();
    EXPECT_EQ(appended().size(), 3u) << "every song has been queued once";
}

TEST_F(PlayQueue, SongsWithoutAFileAreSkipped) {
    build(10, 60, {4}, {5});
    h.app->playMusic();
    for (int i = 0; i < 4; ++i)
        player().end();
    EXPECT_EQ(p().playingNum, 6);
    EXPECT_EQ(q().unplayableIndexes(), (std::set<std::int64_t>{4, 5}));
    const auto queued = appended();
    EXPECT_EQ(std::count(queued.begin(), queued.end(), "song5.mp3"), 0);
}

TEST_F(PlayQueue, ResumesAStoredPositionAndRewindsAtTheEndOfTheOrder) {
    build(10, 60, {9});
    // A later run resumes at the stored song 5.
    h.storePositions({{"P", 5}});
    h.launch();
    h.app->changePlaylistWithRow(1);
    h.app->showPlaylist();
    h.app->playMusic();
    EXPECT_EQ(appended(),
              (std::vector<std::string>{"song5.mp3", "song6.mp3", "song7.mp3", "song8.mp3", "song0.mp3",
                                        "song1.mp3", "song2.mp3", "song3.mp3", "song4.mp3"}));
    for (int i = 0; i < 3; ++i)
        player().end();
    EXPECT_EQ(p().playingNum, 8);
    player().end();
    EXPECT_EQ(p().playingNum, 0) << "past the song without a file, round to the start";
    for (int i = 0; i < 4; ++i)
        player().end();
    EXPECT_EQ(p().playingNum, 4);
    h.view.calls.clear();
    player().end(); // the last song of the order
    EXPECT_FALSE(player().playing);
    EXPECT_FALSE(h.app->playinglistNumber());
    EXPECT_EQ(player().queue.size(), 9u) << "rebuilt from where it began";
    EXPECT_EQ(player().queue.front().path.substr(player().queue.front().path.size() - 9), "song5.mp3");
    EXPECT_EQ(p().playingNum, 5);
    EXPECT_EQ(q().finishedTime(), 0);
    EXPECT_EQ(h.view.calls.at(0), "statistics") << "the last song's play counted";
    EXPECT_EQ(h.view.calls.at(1), "pause");
    EXPECT_EQ(h.storedPositions().at("P"), 5);
}

TEST_F(PlayQueue, ResumesWhereTheSongStoppedAcrossARestart) {
    build(4, 60);
    h.app->playMusic();
    player().end();
    player().at = 42.5;
    h.app->pauseMusic();
    EXPECT_EQ(h.storedSeconds().at("P"), 42.5);
    h.app->playMusic();
    EXPECT_EQ(player().at, 42.5) << "the same run: its player was only paused";
    player().at = 17;
    h.app->applicationWillTerminate(); // quit while playing
    h.launch();
    h.app->changePlaylistWithRow(1);
    h.app->showPlaylist();
    h.app->playMusic();
    EXPECT_EQ(p().playingNum, 1);
    EXPECT_EQ(player().at, 17) << "the restored song cued where it stopped";
    player().end();
    EXPECT_FALSE(h.storedSeconds().contains("P")) << "the next song starts at its start";

    // A time past the song's end, or not a time, plays the song from its start.
    for (const auto* stored : {"<real>60</real>", "<string>x</string>"}) {
        h.app->applicationWillTerminate();
        h.state.files[state_files::seconds] =
            std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>P</key>") + stored +
            "</dict></plist>";
        h.launch();
        h.app->changePlaylistWithRow(1);
        h.app->showPlaylist();
        h.app->playMusic();
        EXPECT_EQ(player().at, 0) << stored;
    }
}

TEST_F(PlayQueue, ARestartComesBackPausedWhereItStoppedAndPlaysOnFromThere) {
    build(4, 60);
    h.artwork.images = {{"song1.mp3", "cover one"}};
    h.app->playMusic();
    player().end();
    player().at = 17;
    h.app->applicationWillTerminate(); // quit while playing
    h.launch();
    EXPECT_EQ(h.app->playlistNumber(), 1u) << "the playlist that played is selected again";
    EXPECT_FALSE(h.app->configuring()) << "its order shows";
    EXPECT_FALSE(h.app->playinglistNumber());
    EXPECT_EQ(h.app->playbackStatus(), Status::Paused);
    EXPECT_TRUE(h.app->canPlay());
    EXPECT_TRUE(h.app->canSeek());
    ASSERT_TRUE(h.app->currentSong());
    EXPECT_EQ(h.app->currentSong()->name(), "s1");
    EXPECT_EQ(h.app->position(), 17);
    EXPECT_EQ(h.app->currentLength(), 200) << "the library's length until the file is queued";
    const auto& calls = h.view.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "mode 2"), calls.end())
        << "the order's controls, with the play button";
    EXPECT_EQ(calls.back(), "now s1 row 1");
    h.finishTasks();
    EXPECT_EQ(calls.back(), "now s1 row 1 with cover one") << "the artwork of its file once it is found";
    EXPECT_EQ(h.app->currentArtwork(), "cover one");

    h.app->playPause(); // Space, or the desktop's play key
    EXPECT_TRUE(player().playing);
    EXPECT_EQ(player().appended.front(), "song1.mp3");
    EXPECT_EQ(player().at, 17) << "on from the second it stopped";

    // Paused, then another playlist chosen: the one last selected comes back, and without an
    // order it opens in its choices.
    h.app->pauseMusic();
    h.app->changePlaylistWithRow(0);
    h.launch();
    EXPECT_EQ(h.app->playlistNumber(), 0u);
    EXPECT_TRUE(h.app->configuring());
    EXPECT_EQ(h.app->playbackStatus(), Status::Stopped);
    EXPECT_FALSE(h.app->canPlay());

    // A selection that names no playlist any more, or is no property list, selects none.
    h.app->applicationWillTerminate();
    for (const auto* stored : {"<dict><key>selected</key><string>gone</string></dict>", "garbage"}) {
        h.state.files["selection.plist"] =
            std::string("<?xml version=\"1.0\"?><plist version=\"1.0\">") + stored + "</plist>";
        h.launch();
        EXPECT_FALSE(h.app->playlistNumber()) << stored;
    }
}

TEST_F(PlayQueue, SkipsWhilePausedMoveTheSongAndStayPaused) {
    build(4, 60, {}, {2});
    Told told;
    told.app = h.app.get();
    h.app->addObserver(&told);
    EXPECT_TRUE(h.app->canGoNext()) << "the order's first song is current before anything plays";
    EXPECT_TRUE(h.app->canGoPrevious());
    h.app->playMusic();
    player().at = 30;
    h.app->pauseMusic();
    told.changes = 0;
    h.app->forward();
    EXPECT_FALSE(h.app->playinglistNumber()) << "still paused";
    EXPECT_EQ(p().playingNum, 1);
    EXPECT_EQ(h.app->position(), 0) << "at the new song's start";
    EXPECT_EQ(h.app->playbackStatus(), Status::Paused);
    EXPECT_EQ(h.app->currentSong()->name(), "s1");
    EXPECT_GT(told.changes, 0) << "the desktop's controls show the new song";
    EXPECT_EQ(h.view.calls.back(), "now s1 row 1");
    EXPECT_EQ(h.storedPositions().at("P"), 1);
    h.app->forward();
    EXPECT_EQ(p().playingNum, 3) << "past the song without a file";

    h.app->seek(20);
    EXPECT_EQ(h.app->position(), 20) << "a place to start from";
    h.app->backward();
    EXPECT_EQ(h.app->position(), 0);
    EXPECT_EQ(told.seeks.back(), 0);
    h.app->seek(25);
    h.app->forward();
    EXPECT_EQ(p().playingNum, 0) << "past the last song, the order waits at its start";
    EXPECT_EQ(h.app->position(), 0);
    h.app->playMusic();
    EXPECT_EQ(player().appended.front(), "song0.mp3");
    EXPECT_EQ(player().at, 0);
    EXPECT_TRUE(player().playing);

    h.app->pauseMusic();
    h.app->backToConfig();
    EXPECT_FALSE(h.app->canGoNext()) << "the choices show and nothing plays";
    h.app->forward();
    EXPECT_EQ(p().playingNum, 0);
    h.app->removeObserver(&told);
}

TEST_F(PlayQueue, ALostOutputPausesWithEverySongPlayableAndSaysSo) {
    build(3, 60);
    h.app->playMusic();
    player().end();
    player().loseOutput("Could not open audio device for playback.");
    EXPECT_FALSE(h.app->playinglistNumber()) << "shown paused";
    EXPECT_TRUE(q().unplayableIndexes().empty()) << "no song is blamed for the device";
    EXPECT_EQ(h.view.calls.back(), "notice");
    EXPECT_NE(h.noticeFacts().find("Could not open audio device"), std::string::npos);
    EXPECT_EQ(player().queue.size(), 2u) << "the queue waits where it stood";

    h.app->playMusic();
    EXPECT_TRUE(player().playing) << "Play tries the output again";
    EXPECT_TRUE(h.app->notices().empty());
    EXPECT_EQ(p().playingNum, 1);
}

TEST_F(PlayQueue, AVanishedMusicFolderPausesWithEverySongKeptAndPlaysOnWhenItIsBack) {
    build(4, 60);
    h.app->playMusic();
    player().end(); // s1 plays
    auto& first = player();
    const auto folder = h.dir.path();
    const auto away = folder.string() + " away";
    std::filesystem::rename(folder, away); // the drive goes
    first.end(true);
    EXPECT_FALSE(h.app->playinglistNumber()) << "paused";
    EXPECT_FALSE(first.playing);
    EXPECT_TRUE(first.queue.empty()) << "no song left to fail one after another";
    EXPECT_EQ(p().playingNum, 1) << "it waits at the song that could not go on";
    EXPECT_NE(h.noticeFacts().find(folder.string()), std::string::npos) << h.noticeFacts();
    h.app->playMusic();
    EXPECT_FALSE(h.app->playinglistNumber()) << "still gone";
    EXPECT_TRUE(h.dialogs.told.empty()) << "no song was found unplayable";
    EXPECT_EQ(h.storedPositions().at("P"), 1);

    std::filesystem::rename(away, folder); // back
    h.app->playMusic();
    EXPECT_TRUE(first.playing);
    EXPECT_EQ(h.players.made.size(), 1u);
    EXPECT_EQ(player().appended.back(), "song0.mp3") << "queued afresh from s1, round the order";
    EXPECT_TRUE(first.queue.front().path.ends_with("song1.mp3"));
    EXPECT_TRUE(h.app->notices().empty());

    // One file that fails with its folder still there is that song's fault, as before.
    first.end(true);
    EXPECT_TRUE(h.app->playinglistNumber());
    EXPECT_EQ(q().unplayableIndexes(), (std::set<std::int64_t>{1}));
    EXPECT_EQ(p().playingNum, 2);
}

TEST_F(PlayQueue, AFailingItemCountsAsUnplayableAndPlaybackGoesOn) {
    build(3, 60);
    h.app->playMusic();
    player().end(true);
    EXPECT_EQ(q().unplayableIndexes(), (std::set<std::int64_t>{0}));
    EXPECT_EQ(p().playingNum, 1);
    EXPECT_TRUE(player().playing);
    player().end();
    player().end();
    EXPECT_EQ(player().queue.size(), 2u) << "the failed song is not queued again";
    EXPECT_EQ(p().playingNum, 1);
}

TEST_F(PlayQueue, NothingPlayableMeansNothingPlays) {
    build(3, 60, {0}, {1, 2});
    h.view.calls.clear();
    h.app->playMusic();
    EXPECT_FALSE(h.app->playinglistNumber());
    EXPECT_TRUE(h.view.calls.empty());
    EXPECT_EQ(q().unplayableIndexes().size(), 3u);
}

TEST_F(PlayQueue, NowPlayingNeverIndexesOutsideTheOrder) {
    build(2, 60);
    EXPECT_EQ(p().nowPlayingInfo()->song, "s0");
    p().playingNum = 2;
    EXPECT_FALSE(p().nowPlayingInfo());
    p().playingNum = -1;
    EXPECT_FALSE(p().nowPlayingInfo());
    EXPECT_FALSE(h.app->allPlaylists()[0]->nowPlayingInfo()) << "All Songs is not shuffled yet";
}

TEST_F(PlayQueue, ForwardEndsTheSongAndBackwardRestartsIt) {
    build(3, 60);
    h.app->playMusic();
    h.app->backward();
    ASSERT_EQ(player().seeks.size(), 1u);
    EXPECT_EQ(player().seeks[0].second, 0);
    EXPECT_EQ(p().playingNum, 0);
    h.app->forward();
    EXPECT_EQ(p().playingNum, 1);
    h.app->forward();
    EXPECT_EQ(player().seeks.back().second, 60) << "to the item's end, within the item";
    h.app->forward();
    EXPECT_FALSE(h.app->playinglistNumber()) << "forward on the last song ends the order";
}

TEST_F(PlayQueue, APlaylistThatStopsPlayingGivesUpItsPlayerAndResumesWhereItStopped) {
    build(4, 60);
    const auto selectAndPlay = [&](std::int64_t row) {
        h.app->changePlaylistWithRow(row);
        h.app->showPlaylist();
        h.app->playMusic();
    };
    h.app->playMusic();
    player().end();
    player().at = 25;
    h.app->pauseMusic();
    selectAndPlay(0); // All Songs
    EXPECT_EQ(h.app->playinglistNumber(), 0u);
    EXPECT_EQ(h.players.live, 1) << "the paused playlist's player is gone";
    EXPECT_FALSE(h.queueOf(p()));
    EXPECT_EQ(h.storedPositions().at("P"), 1);
    EXPECT_EQ(h.storedSeconds().at("P"), 25);

    // Straight from one that plays: that one goes too, and the first resumes where it stopped.
    player().at = 7;
    selectAndPlay(1);
    EXPECT_EQ(h.view.calls[h.view.calls.size() - 2], "pause") << "the other one stopped";
    EXPECT_EQ(h.players.made.size(), 3u);
    EXPECT_EQ(h.players.live, 1);
    EXPECT_EQ(h.storedSeconds().at(h.app->allPlaylists()[0]->persistentID()), 7);
    EXPECT_TRUE(player().playing);
    EXPECT_EQ(p().playingNum, 1);
    EXPECT_EQ(appended(), (std::vector<std::string>{"song1.mp3", "song2.mp3", "song3.mp3", "song0.mp3"}))
        << "queued from its song round the order, as at a restart";
    EXPECT_EQ(player().at, 25) << "cued at the second where it stopped";
}

TEST_F(PlayQueue, ReshufflingDropsTheQueue) {
    build(3, 60);
    h.app->playMusic();
    h.app->reshuffle();
    EXPECT_FALSE(h.app->playinglistNumber());
    EXPECT_FALSE(h.queueOf(p()));
}

TEST_F(PlayQueue, ArtworkReadInTheBackgroundReachesTheViewWhileItsSongPlays) {
    build(3, 60);
    h.artwork.images = {{"song0.mp3", "cover zero"}, {"song1.mp3", "cover one"}};
    h.app->playMusic();
    EXPECT_EQ(h.view.calls.back(), "play s0") << "not read yet when the view was told";
    ManualTasks::drain(h.tasks.background);
    ManualTasks::drain(h.tasks.main);
    EXPECT_EQ(h.view.calls.back(), "now s0 row 0 with cover zero") << "delivered later";

    // An image that arrives after its song has ended is dropped.
    player().end();
    ManualTasks::drain(h.tasks.background);
    player().end();
    const auto calls = h.view.calls.size();
    ManualTasks::drain(h.tasks.main);
    EXPECT_EQ(h.view.calls.size(), calls);
    ManualTasks::drain(h.tasks.background);
    EXPECT_TRUE(h.tasks.main.empty()) << "song 2 has no artwork";
}

TEST_F(PlayQueue, TheMediaLibrarysArtworkNeedsNoReading) {
    build(2, 60);
    h.artwork.images = {{"song0.mp3", "file cover"}};
    p().shuffledSongs[0]->setMediaObj(
        std::make_shared<MLMediaObject>(MLMediaObject{"id", "s0", {}, "library cover"}));
    h.app->playMusic();
    EXPECT_EQ(h.view.calls.back(), "play s0 with library cover");
    h.finishTasks();
    EXPECT_EQ(h.artwork.reads, 0);
}

TEST_F(PlayQueue, ArtworkReadBeforeTheLookIsSeenOnce) {
    build(2, 60);
    h.artwork.images = {{"song1.mp3", "cover one"}};
    h.app->playMusic();
    ManualTasks::drain(h.tasks.background);
    ManualTasks::drain(h.tasks.main);
    EXPECT_EQ(h.view.calls.back(), "play s0") << "the first song has no artwork";
    // A read that finishes before the requester looks is seen by that look, not delivered again.
    ArtworkHolder holder;
    EXPECT_FALSE(holder.fill("early")) << "nobody has looked yet: nothing to deliver later";
    EXPECT_EQ(holder.read(), "early");
    EXPECT_FALSE(holder.fill(std::nullopt)) << "nothing to deliver";
}

TEST_F(PlayQueue, TheVolumeReachesEveryPlayerAndIsStoredAtQuit) {
    build(2, 60);
    h.app->setVolume(0.25);
    h.app->playMusic();
    EXPECT_EQ(player().volume, 0.25) << "a player made later starts at the chosen volume";
    h.app->setVolume(0.5);
    EXPECT_EQ(player().volume, 0.5);
    const auto saves = h.settings.saves;
    h.app->setVolume(0.75);
    EXPECT_EQ(h.settings.saves, saves) << "a dragged slider does not write at every step";
    h.app->applicationWillTerminate();
    EXPECT_EQ(h.settings.saves, saves + 1);

    h.launch();
    EXPECT_EQ(h.app->volume(), 0.75);
    plist::set(h.settings.values, "volume", "loud");
    h.launch();
    EXPECT_EQ(h.app->volume(), 1.0) << "a stored value that is no volume is passed over";
}

TEST_F(PlayQueue, StopStopsAtTheSongsStartAndSeekingPastTheEndPlaysTheNext) {
    build(3, 60);
    EXPECT_EQ(h.app->playbackStatus(), Status::Stopped);
    EXPECT_EQ(h.app->currentSong()->name(), "s0") << "where Play would start";
    h.app->playMusic();
    h.app->seek(30);
    EXPECT_EQ(h.app->position(), 30);
    h.app->stop();
    EXPECT_EQ(h.app->playbackStatus(), Status::Stopped);
    EXPECT_EQ(h.app->position(), 0);
    h.app->forward();
    EXPECT_EQ(h.app->playbackStatus(), Status::Stopped) << "a skip leaves it stopped";
    h.app->backward();
    h.app->playMusic();
    EXPECT_EQ(h.app->playbackStatus(), Status::Playing);
    EXPECT_EQ(player().at, 0) << "from the song's start";
    EXPECT_EQ(h.app->currentSong()->name(), "s1");
    h.app->stop();
    h.app->applicationWillTerminate();
    h.launch();
    EXPECT_EQ(h.app->position(), 0) << "a stop keeps no second";
    h.app->playMusic();
    h.app->seek(60);
    EXPECT_EQ(h.app->currentSong()->name(), "s2");
    h.app->backToConfig();
    EXPECT_EQ(h.app->currentSong()->name(), "s2") << "it plays on while the choices show";
    h.app->pauseMusic();
    EXPECT_FALSE(h.app->currentSong()) << "paused, with the choices showing: no song to resume";
}

TEST_F(PlayQueue, PlayingFromAChosenSongKeepsTheOrder) {
    build(6, 60, {}, {4});
    h.app->playMusic();
    const auto order = p().shuffledSongs;
    h.app->playFromSong(2);
    EXPECT_EQ(p().shuffledSongs, order);
    EXPECT_EQ(p().playingNum, 2);
    EXPECT_EQ(h.players.made.size(), 2u) << "a queue from the chosen song on";
    EXPECT_EQ(appended().front(), "song2.mp3");
    EXPECT_TRUE(player().playing);
    EXPECT_EQ(h.storedPositions().at("P"), 2);

    h.app->playFromSong(4); // its file is missing: the next playable song plays
    EXPECT_EQ(p().playingNum, 5);
    EXPECT_EQ(appended().front(), "song5.mp3");
    h.app->playFromSong(6);
    EXPECT_EQ(p().playingNum, 5) << "no such row";
}

} // namespace
} // namespace platter
