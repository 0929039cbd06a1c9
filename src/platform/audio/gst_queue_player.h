#pragma once

// The queue player on GStreamer's playbin. Gapless: when the current item is about to finish,
// playbin asks for the next one on a streaming thread, and the next item's address is handed
// over there, so its first sample follows the last sample of the item before. The change of
// item shows as a stream-start message on the bus, which is watched from the GLib main context
// of the main thread (Qt's event loop runs it on Linux), so the listener hears every end of an
// item on the main thread.
//
// Loudness: playbin's audio filter is `rgvolume ! rglimiter`. Each item's stream start reaches
// the filter ahead of its first sample; a probe there sets the item's gain, so the change falls
// exactly between two items.

#include "core/services/queue_player.h"

#include <deque>
#include <gst/gst.h>
#include <mutex>
#include <optional>
#include <string>

namespace platter {

class GstQueuePlayer final : public QueuePlayer {
public:
    // `audioSink`: the sink to render into, taken over by the player; null for the system's
    // output, or a silent sink that keeps real time when the system has no output device.
    explicit GstQueuePlayer(GstElement* audioSink = nullptr);
    ~GstQueuePlayer() override;
    GstQueuePlayer(const GstQueuePlayer&) = delete;
    GstQueuePlayer& operator=(const GstQueuePlayer&) = delete;

    void setListener(Listener* listener) override { listener_ = listener; }
    std::vector<ItemId> items() const override;
    std::optional<ItemId> currentItem() const override;
    void append(ItemId item, const std::string& path, double duration, Gain gain) override;
    void setGain(ItemId item, Gain gain) override;
    void setReplayGainLevels(double preAmp, double untagged) override;
    void removeAllItems() override;
    void removeItemsAfterCurrent() override;
    void play() override;
    void pause() override;
    void seekPlayer(double seconds) override;
    void seekItem(ItemId item, double seconds) override;
    void cueCurrent(double seconds) override;
    double position() const override;
    void setVolume(double linear) override;

    // Whether audio goes nowhere because the system has no output device.
    bool silent() const { return silent_; }
    // The output the system offers: its audio sink, or a silent one keeping real time when
    // there is no device (the automatic sink would fall back to a silent one of its own).
    static GstElement* systemAudioSink(bool& silent);

private:
    struct Entry {
        ItemId id;
        std::string uri;
        double duration;
        Gain gain;
    };

    static void onAboutToFinish(GstElement* playbin, gpointer self);
    static gboolean onBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    static GstPadProbeReturn onFilterInput(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn onFilterOutput(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    void buildFilter();
    // Sets the filter for a stream levelled by `gain`; under mutex_.
    void applyLevels(Gain gain);
    void handle(GstMessage* message);
    void handleError(GstMessage* message);
    void buildPipeline();
    void dropPipeline();
    // Stops every stream (the pipeline to READY) and drops what they posted.
    void stopStreams();
    // Loads the current item afresh, at its start or `at` nanoseconds into it, in the player's
    // state. Returns at once: a start further in is sought once the pipeline has prerolled.
    void loadCurrent(gint64 at = 0);
    // The pipeline has prerolled after a load: a seek asked meanwhile is made now, then it plays
    // if it should.
    void prerolled();
    void seekTo(gint64 at);
    // Where the current item stands, or will once a seek to come is made.
    gint64 positionNanos() const;
    // The current item ends: it leaves the queue, the listener hears of it, the next plays.
    void endCurrent(bool failed, bool nextAlreadyStarted);

    GstElement* sink_ = nullptr;
    GstElement* playbin_ = nullptr;
    guint busWatch_ = 0;
    Listener* listener_ = nullptr;
    bool playing_ = false;
    bool silent_ = false;
    double volume_ = 1.0;
    // An item was loaded and its pipeline is not ready to seek yet (its state change to PAUSED
    // is under way); the latest seek asked meanwhile waits in pendingSeek_.
    bool prerolling_ = false;
    std::optional<gint64> pendingSeek_;

    GstElement* rgVolume_ = nullptr; // both held by playbin; null without the ReplayGain plugin
    GstElement* limiter_ = nullptr;
    const guint32 resetSeqnum_ = gst_util_seqnum_next();

    mutable std::mutex mutex_; // what follows, read on the streaming thread
    std::deque<Entry> queue_;
    std::deque<ItemId> starting_; // the items whose streams are still to reach the filter
    Gain streamGain_ = Gain::Album; // of the stream passing through the filter
    double preAmp_ = 0;
    double untagged_ = 0;
    std::optional<ItemId> handedOver_; // the next item, given to playbin ahead of the end
    bool awaitingStart_ = false;       // the next stream start is the current item's own
    bool holdHandOver_ = false;        // the current item was reloaded: no hand-over for it
    // The output failed: the current item waits unloaded, to start here at the next play(), so
    // that a dead device is not tried again and again on its own.
    std::optional<gint64> resumeAt_;
};

class GstQueuePlayerFactory final : public QueuePlayerFactory {
public:
    GstQueuePlayerFactory();
    std::unique_ptr<QueuePlayer> create() override;
    bool silent() const { return silent_; }

private:
    bool silent_ = false;
    double volume_ = 1.0;
};

} // namespace platter
