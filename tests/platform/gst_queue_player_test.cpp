// Real playback through GStreamer, headless: a counting sink that does not keep time stands in
// for the sound card, so the tests run fast and measure exactly what was rendered.

#include "core/services/log.h"
#include "platform/audio/gst_queue_player.h"
#include "support/audio_fixture.h"
#include "support/library_fixture.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <unistd.h>
#ifdef __SANITIZE_ADDRESS__
// The sanitizer runtime's own interface; not every compiler ships its header.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif
#include <gtest/gtest.h>

namespace platter {
namespace {

using testing::AudioFormat;
using testing::pumpUntil;

struct Ends final : QueuePlayer::Listener {
    std::vector<std::pair<QueuePlayer::ItemId, bool>> ended;
    std::vector<std::string> outputFailures;
    void itemEnded(QueuePlayer&, QueuePlayer::ItemId item, bool failed) override {
        ended.emplace_back(item, failed);
    }
    void outputFailed(QueuePlayer&, const std::string& reason) override { outputFailures.push_back(reason); }
};

class GstQueuePlayerTest : public ::testing::Test {
protected:
    void SetUp() override { makePlayer(false); }
    // `realTime`: the sink keeps time like a sound card; otherwise it renders at full speed.
    void makePlayer(bool realTime) {
        renderSink = rendered.makeSink(realTime);
        player = std::make_unique<GstQueuePlayer>(renderSink);
        player->setListener(&ends);
    }
    // An error on the player's bus, from its pipeline, as a stream that is being stopped posts.
    void postStreamError() {
        GstElement* top = GST_ELEMENT(gst_object_ref(renderSink));
        while (GstObject* parent = gst_object_get_parent(GST_OBJECT(top))) {
            gst_object_unref(top);
            top = GST_ELEMENT(parent);
        }
        GError* error =
            g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_FAILED, "Internal data stream error.");
        gst_element_post_message(
            top, gst_message_new_error(GST_OBJECT(top), error, "streaming stopped, not-linked"));
        g_error_free(error);
        gst_object_unref(top);
    }
    std::string tone(const std::string& name, double seconds, AudioFormat format = AudioFormat::Wav,
                     const std::string& tags = {}) {
        testing::makeTone(dir.path() / name, format, seconds, 440, tags);
        return (dir.path() / name).string();
    }
    testing::TempDir dir;
    testing::RenderedAudio rendered;
    std::atomic<std::size_t>& samples = rendered.samples;
    Ends ends;
    GstElement* renderSink = nullptr; // held by the player
    std::unique_ptr<GstQueuePlayer> player;
};

TEST_F(GstQueuePlayerTest, PlaysItemsBackToBackWithoutLosingSamples) {
    player->append(1, tone("a.wav", 1.0), 1.0, QueuePlayer::Gain::Recorded);
    player->append(2, tone("b.wav", 0.5), 0.5, QueuePlayer::Gain::Recorded);
    player->append(3, tone("c.flac", 1.0, AudioFormat::Flac), 1.0, QueuePlayer::Gain::Recorded);
    EXPECT_EQ(player->currentItem(), 1u);
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return ends.ended.size() == 3; }));
    EXPECT_EQ(ends.ended,
              (std::vector<std::pair<QueuePlayer::ItemId, bool>>{{1, false}, {2, false}, {3, false}}));
    EXPECT_TRUE(player->items().empty());
    // 2.5 s in all; at most 10 ms may go missing at each of the two boundaries.
    EXPECT_NEAR(static_cast<double>(samples.load()), 2.5 * 44100, 2 * 441);
}

TEST_F(GstQueuePlayerTest, EachItemIsLevelledByItsOwnGainFromItsFirstSampleWithoutAGap) {
    // One tone at one level in every file; only the gains stored with it differ.
    const auto tagged = tone("tagged.flac", 1.0, AudioFormat::Flac,
                             "replaygain-track-gain=-7.0,replaygain-album-gain=-12.0");
    const auto untagged = tone("untagged.flac", 1.0, AudioFormat::Flac);
    player->setReplayGainLevels(2.0, -6.0);
    using Gain = QueuePlayer::Gain;
    player->append(1, tagged, 1.0, Gain::Album);
    player->append(2, tagged, 1.0, Gain::Track);   // an album unit hands over to a song
    player->append(3, untagged, 1.0, Gain::Track); // nothing of the file before is kept
    player->append(4, tagged, 1.0, Gain::Recorded);
    player->append(5, tagged, 1.0, Gain::Track);
    player->setGain(5, Gain::Album); // changed while queued
    rendered.keep = true;
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return ends.ended.size() == 5; }));
    // At most 10 ms may go missing at each of the four boundaries.
    EXPECT_NEAR(static_cast<double>(samples.load()), 5 * 44100, 4 * 441);
    // Pre-amp added to stored gains, the untagged gain as set, and nothing when off.
    const double expected[] = {-12 + 2, -7 + 2, -6, 0, -12 + 2};
    const double recorded = rendered.levelOf(3.25, 3.75);
    for (int item = 0; item < 5; ++item)
        EXPECT_NEAR(rendered.levelOf(item + 0.1, item + 0.9) - recorded, expected[item], 0.3) << "item " << item + 1;
}

TEST_F(GstQueuePlayerTest, ABrokenNextFileIsChargedToItselfAndTheSongBeforePlaysToItsEnd) {
    // An M4A whose tags TagLib reads but whose codec nothing decodes: it fails only while it
    // is being prepared for the hand-over, during the last moments of the song before it.
    // The sink keeps time: one that renders at full speed goes on rendering between the
    // position read at the error and the teardown, and would count those samples twice.
    makePlayer(true);
    const auto broken = tone("broken.m4a", 1.0, AudioFormat::M4a);
    std::string bytes = testing::TempDir::read(broken);
    const auto codec = bytes.find("mp4a");
    ASSERT_NE(codec, std::string::npos);
    bytes.replace(codec, 4, "zzzz");
    dir.write("broken.m4a", bytes);
    player->append(1, tone("a.wav", 1.0), 1.0, QueuePlayer::Gain::Recorded);
    player->append(2, broken, 1.0, QueuePlayer::Gain::Recorded);
    player->append(3, tone("b.wav", 0.5), 0.5, QueuePlayer::Gain::Recorded);
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return ends.ended.size() == 3; }));
    EXPECT_EQ(ends.ended,
              (std::vector<std::pair<QueuePlayer::ItemId, bool>>{{1, false}, {2, true}, {3, false}}));
    // Reloaded where it stood when the error came: a buffer may go missing there, not a second.
    EXPECT_NEAR(static_cast<double>(samples.load()), 1.5 * 44100, 0.1 * 44100) << "the first song played whole";
}

TEST_F(GstQueuePlayerTest, ALostOutputPausesAndNoSongIsBlamedForIt) {
    // An output that cannot be opened, as a device that went away.
    GError* error = nullptr;
    GstElement* sink = gst_parse_bin_from_description(
        "audioconvert ! filesink name=out location=/nonexistent/platter/out.raw", TRUE, &error);
    ASSERT_TRUE(sink) << (error ? error->message : "");
    GstElement* out = gst_bin_get_by_name(GST_BIN(sink), "out");
    player = std::make_unique<GstQueuePlayer>(sink);
    player->setListener(&ends);
    player->append(1, tone("a.wav", 0.5), 0.5, QueuePlayer::Gain::Recorded);
    player->append(2, tone("b.wav", 0.5), 0.5, QueuePlayer::Gain::Recorded);
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return !ends.outputFailures.empty(); }));
    EXPECT_NE(ends.outputFailures[0].find("/nonexistent/platter/out.raw"), std::string::npos)
        << ends.outputFailures[0];
    EXPECT_TRUE(ends.ended.empty()) << "no song ended, and none as broken";
    EXPECT_EQ(player->items(), (std::vector<QueuePlayer::ItemId>{1, 2}));

    // The output is back: play goes on from the song that was playing.
    g_object_set(out, "location", (dir.path() / "out.raw").c_str(), nullptr);
    gst_object_unref(out);
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return ends.ended.size() == 2; }));
    EXPECT_EQ(ends.ended, (std::vector<std::pair<QueuePlayer::ItemId, bool>>{{1, false}, {2, false}}));
    EXPECT_EQ(ends.outputFailures.size(), 1u);
}

#ifdef __SANITIZE_ADDRESS__
// Under AddressSanitizer, resident memory says little (it holds freed memory back), but its
// allocator knows exactly how much is in use.
std::size_t memoryInUse() {
    return __sanitizer_get_current_allocated_bytes();
}
#else
// Resident memory of this process, in bytes.
std::size_t memoryInUse() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}
#endif

TEST_F(GstQueuePlayerTest, AThousandItemsLeaveNoMemoryBehind) {
    const std::vector<std::string> files = {tone("s1.wav", 0.02), tone("s2.flac", 0.02, AudioFormat::Flac),
                                            tone("s3.ogg", 0.05, AudioFormat::Ogg)};
    QueuePlayer::ItemId next = 1;
    const auto playThrough = [&](int count) {
        const auto before = ends.ended.size();
        for (int i = 0; i < count; ++i, ++next)
            player->append(next, files[next % files.size()], 0.05, QueuePlayer::Gain::Recorded);
        player->play();
        return pumpUntil([&] { return ends.ended.size() == before + static_cast<std::size_t>(count); }, 120);
    };
    ASSERT_TRUE(playThrough(100)); // pools and caches grow to their working size
    const auto start = memoryInUse();
    ASSERT_TRUE(playThrough(1000));
    const auto growth = static_cast<double>(memoryInUse()) - static_cast<double>(start);
    EXPECT_LT(growth, 4.0 * (1 << 20)) << "grew by " << growth / (1 << 20) << " MB";
    EXPECT_EQ(std::count_if(ends.ended.begin(), ends.ended.end(), [](const auto& e) { return e.second; }), 0);
}

TEST_F(GstQueuePlayerTest, ABrokenFileEndsAsFailedAndTheNextPlays) {
    player->append(1, dir.write("broken.mp3", std::string(20000, 'x')).string(), 1.0, QueuePlayer::Gain::Recorded);
    player->append(2, tone("ok.wav", 0.3), 0.3, QueuePlayer::Gain::Recorded);
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return ends.ended.size() == 2; }));
    EXPECT_EQ(ends.ended[0], std::make_pair(QueuePlayer::ItemId{1}, true));
    EXPECT_EQ(ends.ended[1], std::make_pair(QueuePlayer::ItemId{2}, false));
}

TEST_F(GstQueuePlayerTest, SeekingPastTheEndEndsTheItemAndBackwardRestartsIt) {
    player->append(1, tone("a.wav", 3.0), 3.0, QueuePlayer::Gain::Recorded);
    player->append(2, tone("b.wav", 0.2), 0.2, QueuePlayer::Gain::Recorded);
    player->pause();
    player->seekPlayer(3.0 + 10.0); // forward: length plus what has finished
    ASSERT_EQ(ends.ended.size(), 1u);
    EXPECT_EQ(player->currentItem(), 2u);
    player->seekItem(2, 0); // backward on the new current item
    EXPECT_EQ(player->currentItem(), 2u);
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return ends.ended.size() == 2; }));
    EXPECT_EQ(ends.ended[1].first, 2u);
}

TEST_F(GstQueuePlayerTest, BackwardAfterTheHandOverStaysOnTheCurrentItem) {
    makePlayer(true); // the hand-over must have happened and the item not yet ended
    player->append(1, tone("a.wav", 1.0), 1.0, QueuePlayer::Gain::Recorded);
    player->append(2, tone("b.wav", 1.0), 1.0, QueuePlayer::Gain::Recorded);
    player->play();
    // Past the half of a short item, the next one has been handed over.
    ASSERT_TRUE(pumpUntil([&] { return samples.load() > 44100 * 3 / 4; }));
    player->seekItem(1, 0);
    EXPECT_EQ(player->currentItem(), 1u);
    ASSERT_TRUE(pumpUntil([&] { return ends.ended.size() == 2; }));
    EXPECT_EQ(ends.ended[0].first, 1u) << "the restarted item ended first";
    EXPECT_GT(samples.load(), 2 * 44100u) << "the first second played again";
}

TEST_F(GstQueuePlayerTest, ASeekAfterTheHandOverHoldsBackOnlyThatItemsHandOver) {
    makePlayer(true);
    log::enable("player");
    ::testing::internal::CaptureStderr();
    // Made first and queued at once: the first item drains when it loads, and its hand-over
    // is asked for only then.
    const auto a = tone("a.wav", 1.0), b = tone("b.wav", 0.6), c = tone("c.wav", 0.3);
    player->append(1, a, 1.0, QueuePlayer::Gain::Recorded);
    player->append(2, b, 0.6, QueuePlayer::Gain::Recorded);
    player->append(3, c, 0.3, QueuePlayer::Gain::Recorded);
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return samples.load() > 44100 * 3 / 4; }));
    // Stopping the streams for a reload can make a decoder fail on its way out; read after the
    // reload, its error would end the good item it reloaded.
    postStreamError();
    player->seekItem(1, 0.5); // reloads item 1, item 2 held back
    player->seekItem(1, 0.6); // and once more while held
    EXPECT_EQ(player->currentItem(), 1u);
    const bool allEnded = pumpUntil([&] { return ends.ended.size() == 3; });
    const auto log = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(allEnded) << log;
    EXPECT_EQ(ends.ended,
              (std::vector<std::pair<QueuePlayer::ItemId, bool>>{{1, false}, {2, false}, {3, false}}))
        << log;
    const auto count = [&](const std::string& line) {
        std::size_t n = 0;
        for (auto at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("handed over item 2\n"), 1u) << "not again after the seeks: item 2 followed the end\n"
                                                 << log;
    EXPECT_EQ(count("handed over item 3\n"), 1u) << "the hold ended with its item\n" << log;
}

TEST_F(GstQueuePlayerTest, ACuedItemStartsWhereItWasCuedAtTheNextPlay) {
    player->append(1, tone("a.wav", 3.0), 3.0, QueuePlayer::Gain::Recorded);
    player->cueCurrent(2.0);
    EXPECT_DOUBLE_EQ(player->position(), 2.0) << "shown where it will start";
    pumpUntil([] { return false; }, 0.2);
    EXPECT_EQ(samples.load(), 0u) << "nothing decoded before play()";
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return ends.ended.size() == 1; }));
    // A resumed song may start up to a second off; here it lands on the sample.
    EXPECT_NEAR(static_cast<double>(samples.load()) / 44100, 1.0, 0.05);
}

TEST_F(GstQueuePlayerTest, ASeekBeforeTheItemIsReadyLandsOnceItIs) {
    // Right after an item loads, its pipeline cannot seek yet. The seek returns at once, shown
    // where it goes, and is made when the pipeline is ready: the latest one, nothing before it
    // heard, and the next item untouched.
    const auto a = tone("a.wav", 3.0), b = tone("b.wav", 3.0), c = tone("c.wav", 0.5);
    using Gain = QueuePlayer::Gain;
    const std::function<void()> cases[] = {
        [&] { // playing, sought twice
            player->append(1, a, 3.0, Gain::Recorded);
            player->play();
            player->seekItem(1, 1.0);
            player->seekItem(1, 2.0);
        },
        [&] { // paused, then played
            player->append(1, a, 3.0, Gain::Recorded);
            player->seekPlayer(2.0);
            EXPECT_DOUBLE_EQ(player->position(), 2.0);
            player->play();
        },
        [&] { // the next item, just after a skip to it
            player->append(1, b, 3.0, Gain::Recorded);
            player->append(2, a, 3.0, Gain::Recorded);
            player->play();
            player->seekPlayer(3.0);
            ASSERT_EQ(ends.ended.size(), 1u);
            player->seekItem(2, 2.0);
        },
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        makePlayer(false);
        ends.ended.clear();
        samples = 0;
        cases[i]();
        EXPECT_DOUBLE_EQ(player->position(), 2.0) << "case " << i;
        player->append(9, c, 0.5, Gain::Recorded);
        ASSERT_TRUE(pumpUntil([&] { return !player->currentItem(); })) << "case " << i;
        EXPECT_EQ(ends.ended.back(), std::make_pair(QueuePlayer::ItemId{9}, false)) << "case " << i;
        EXPECT_EQ(ends.ended.size(), i == 2 ? 3u : 2u) << "case " << i;
        EXPECT_NEAR(static_cast<double>(samples.load()) / 44100, 1.0 + 0.5, 0.05) << "case " << i;
    }
}

TEST_F(GstQueuePlayerTest, AChangedOrderDropsEvenTheItemHandedOver) {
    makePlayer(true);
    player->append(1, tone("a.wav", 1.0), 1.0, QueuePlayer::Gain::Recorded);
    player->append(2, tone("b.wav", 0.6), 0.6, QueuePlayer::Gain::Recorded);
    player->play();
    ASSERT_TRUE(pumpUntil([&] { return samples.load() > 44100 * 3 / 4; }));
    player->removeItemsAfterCurrent();
    player->append(3, tone("c.wav", 0.3), 0.3, QueuePlayer::Gain::Recorded);
    ASSERT_TRUE(pumpUntil([&] { return ends.ended.size() == 2; }));
    EXPECT_EQ(ends.ended, (std::vector<std::pair<QueuePlayer::ItemId, bool>>{{1, false}, {3, false}}));
    EXPECT_NEAR(static_cast<double>(samples.load()) / 44100, 1.3, 0.1) << "item 2 was never heard";
}

TEST_F(GstQueuePlayerTest, PausedPlayersHoldAndRemovedItemsAreGone) {
    player->append(1, tone("a.wav", 0.5), 0.5, QueuePlayer::Gain::Recorded);
    pumpUntil([] { return false; }, 0.3);
    EXPECT_TRUE(ends.ended.empty()) << "nothing plays before play()";
    player->removeAllItems();
    EXPECT_FALSE(player->currentItem());
    player->play();
    pumpUntil([] { return false; }, 0.3);
    EXPECT_TRUE(ends.ended.empty());
}

} // namespace
} // namespace platter

namespace platter {
namespace {

TEST(SystemAudioSink, KeepsRealTimeWhenThereIsNoDevice) {
    bool silent = false;
    GstElement* sink = GstQueuePlayer::systemAudioSink(silent);
    ASSERT_TRUE(sink);
    if (silent) {
        // Without a device the output is our own silent sink, which plays in real time.
        gboolean sync = FALSE;
        g_object_get(sink, "sync", &sync, nullptr);
        EXPECT_TRUE(sync);
        EXPECT_STREQ(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(gst_element_get_factory(sink))),
                     "fakesink");
    }
    gst_object_unref(sink);
    EXPECT_EQ(GstQueuePlayerFactory().silent(), silent);
}

} // namespace
} // namespace platter
