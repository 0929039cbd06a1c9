// The bundled demo library played end to end on the real components: the library reader,
// TagLib, GStreamer (into a sink that renders at full speed) and the GLib main loop.

#include "core/app/app_delegate.h"
#include "core/model/file_url.h"
#include "core/services/seeded_random.h"
#include "core/persistence/memory_settings_file.h"
#include "support/memory_state_storage.h"
#include "core/persistence/user_defaults.h"
#include "core/text/string_rules.h"
#include "platform/audio/gst_queue_player.h"
#include "platform/files/local_file_system.h"
#include "platform/media/taglib_media_files.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/system/glib_task_runner.h"
#include "platform/text/icu_unicode_rules.h"
#include "support/audio_fixture.h"
#include "support/fakes.h"

#include <cmath>
#include <gtest/gtest.h>

namespace platter {
namespace {

// Players on the real pipeline, into a sink that renders at full speed or keeps real time.
struct SinkPlayers final : QueuePlayerFactory {
    bool realTime = false;
    std::unique_ptr<QueuePlayer> create() override {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", realTime, nullptr);
        return std::make_unique<GstQueuePlayer>(sink);
    }
};

// Platter on the demo library with its real components; settings and state kept in memory
// across launches, as across runs of the program.
class DemoPlayback : public ::testing::Test {
protected:
    void SetUp() override { gst_init(nullptr, nullptr); }
    AppDelegate& launch() {
        defaults = std::make_unique<UserDefaults>(settings);
        app = std::make_unique<AppDelegate>(AppServices{.defaults = *defaults,
                                                        .plistReader = reader,
                                                        .dialogs = dialogs,
                                                        .files = files,
                                                        .audioFiles = media,
                                                        .artwork = media,
                                                        .players = players,
                                                        .tasks = tasks,
                                                        .system = system,
                                                        .random = random,
                                                        .rules = rules,
                                                        .fileSystem = fileSystem,
                                                        .state = state});
        view.app = app.get();
        app->addObserver(&view);
        EXPECT_EQ(app->applicationDidFinishLaunching(), AppDelegate::LaunchResult::Ready);
        EXPECT_TRUE(testing::pumpUntil([&] { return app->songFilesKnown(); }, 10));
        return *app;
    }
    // Selects the playlist named `name`; its row.
    std::size_t select(std::string_view name) {
        std::size_t row = 0;
        while (row < app->allPlaylists().size() && app->allPlaylists()[row]->name() != name)
            ++row;
        app->changePlaylistWithRow(static_cast<std::int64_t>(row));
        app->showPlaylist();
        return row;
    }

    PlistFileReader reader;
    IcuUnicodeRules icu;
    StringRules rules{icu};
    MemorySettingsFile settings{{{"xmlUrl", fileUrlFromPath(PLATTER_DEMO_LIBRARY)}}};
    std::unique_ptr<UserDefaults> defaults;
    testing::FakeDialogs dialogs;
    testing::FakeFileWriter files;
    TaglibMediaFiles media;
    SinkPlayers players;
    GlibTaskRunner tasks;
    testing::FakeSystem system;
    LocalFileSystem fileSystem;
    MemoryStateStorage state;
    SeededRandom random{5};
    testing::RecordingView view;
    std::unique_ptr<AppDelegate> app;
};

TEST_F(DemoPlayback, PlaysAnOrderWithArtworkAndRemembersWhereItIs) {
    auto& demo = launch();
    EXPECT_EQ(demo.libraryFiles().notFound, 0) << "every demo file is found in the copied layout";
    const auto row = select("Orchestral");
    ASSERT_LT(row, demo.allPlaylists().size());
    const auto& orchestral = *demo.allPlaylists()[row];
    ASSERT_EQ(orchestral.shuffledSongs.size(), 8u);
    demo.playMusic();
    ASSERT_TRUE(demo.playinglistNumber());
    const auto* queue = demo.playback().queueOf(orchestral);
    ASSERT_TRUE(queue);
    // The first song plays at once; the lengths of the others are read on the disk lane.
    EXPECT_TRUE(testing::pumpUntil([&] { return queue->items().size() == 8u; }, 10))
        << "the files were found beside the library";
    EXPECT_TRUE(queue->unplayableIndexes().empty());

    const auto countOf = [&](std::string_view prefix) {
        return std::count_if(view.calls.begin(), view.calls.end(),
                             [&](const std::string& c) { return c.starts_with(prefix); });
    };
    ASSERT_TRUE(testing::pumpUntil([&] { return !demo.playinglistNumber(); }, 30))
        << "the order plays to its end";
    EXPECT_GE(countOf("now "), 8) << "every song ended (late artwork adds more)";
    EXPECT_GE(std::count_if(view.calls.begin(), view.calls.end(),
                            [](const std::string& c) { return c.find(" with ") != std::string::npos; }),
              1)
        << "the embedded covers reached the view";
    EXPECT_EQ(orchestral.playingNum, 0) << "rewound to where it began";
    demo.applicationWillTerminate();
    EXPECT_TRUE(state.files.contains(state_files::positions));
}

TEST_F(DemoPlayback, ResumesWithinASecondOfWhereItStoppedAcrossARestart) {
    players.realTime = true;
    launch();
    select("Orchestral");
    app->playMusic();
    ASSERT_TRUE(testing::pumpUntil([&] { return app->position() > 2.5; }));
    app->pauseMusic();
    const auto song = app->currentSong();
    const auto stopped = app->position();
    app->applicationWillTerminate();

    launch();
    // Nothing chosen yet: the playlist comes back selected, paused where it stopped.
    EXPECT_EQ(app->playbackStatus(), AppDelegate::PlaybackStatus::Paused);
    ASSERT_TRUE(app->currentSong());
    EXPECT_EQ(app->currentSong()->persistentID(), song->persistentID());
    EXPECT_NEAR(app->position(), stopped, 0.05);
    app->playMusic();
    EXPECT_EQ(app->currentSong()->persistentID(), song->persistentID());
    testing::pumpUntil([] { return false; }, 0.3);
    EXPECT_NEAR(app->position(), stopped + 0.3, 1.0);
}

TEST(DemoLevels, AQuietAndALoudAlbumPlayAtMatchingLevelsWithTheirDynamicsKept) {
    testing::RenderedAudio rendered;
    GstQueuePlayer player(rendered.makeSink(false));
    struct Ends final : QueuePlayer::Listener {
        QueuePlayer::ItemId last = 0;
        void itemEnded(QueuePlayer&, QueuePlayer::ItemId item, bool) override { last = item; }
    } ends;
    player.setListener(&ends);
    player.play();
    const auto music = std::filesystem::path(PLATTER_DEMO_LIBRARY).parent_path() / "iTunes Media" / "Music";
    QueuePlayer::ItemId id = 0;
    const auto level = [&](const std::string& file, QueuePlayer::Gain gain) {
        rendered.kept.clear();
        rendered.keep = true;
        player.append(++id, (music / file).string(), 60, gain);
        EXPECT_TRUE(testing::pumpUntil([&] { return ends.last == id; }));
        return rendered.levelOf(0, static_cast<double>(rendered.kept.size()) / 44100);
    };
    using Gain = QueuePlayer::Gain;
    const std::string soft = "The Quiet Orchestra/Three Movements/1-01 Overture.flac";
    const std::string strong = "The Quiet Orchestra/Three Movements/1-03 Procession.flac";
    const std::string loud = "Nova Static/Signals/03 Numbers Station.mp3";
    const auto asRecorded = level(strong, Gain::Recorded) - level(soft, Gain::Recorded);
    EXPECT_GT(level(loud, Gain::Recorded) - level(strong, Gain::Recorded), 12) << "mastered far apart";
    EXPECT_NEAR(level(loud, Gain::Album), level(strong, Gain::Album), 1.5) << "levelled by album";
    EXPECT_NEAR(level(strong, Gain::Album) - level(soft, Gain::Album), asRecorded, 0.5)
        << "the album's own dynamics kept";
    // ReplayGain weighs loudness by pitch as the ear does, RMS does not: the songs' different
    // tunes leave a dB or two.
    EXPECT_LT(std::abs(level(strong, Gain::Track) - level(soft, Gain::Track)), asRecorded / 4)
        << "songs one by one even out";
}

} // namespace
} // namespace platter
