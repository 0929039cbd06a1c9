#include "platform/audio/gst_queue_player.h"

#include "core/services/log.h"

#include <algorithm>
#include <mutex>

namespace platter {

namespace {

void initGstreamer() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

// The address of the item whose decoding chain `element` belongs to: playbin decodes each item
// in a uridecodebin of its own, the current one and the one handed over side by side.
std::optional<std::string> itemUriOf(GstObject* element) {
    for (GstObject* e = element ? GST_OBJECT(gst_object_ref(element)) : nullptr; e;) {
        std::optional<std::string> uri;
        if (g_strcmp0(G_OBJECT_TYPE_NAME(e), "GstURIDecodeBin") == 0) {
            gchar* text = nullptr;
            g_object_get(e, "uri", &text, nullptr);
            uri = text ? text : "";
            g_free(text);
        }
        GstObject* parent = uri ? nullptr : gst_object_get_parent(e);
        gst_object_unref(e);
        if (uri) return uri;
        e = parent;
    }
    return std::nullopt;
}

std::string uriOf(const std::string& path) {
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    std::string out = uri ? uri : "";
    g_free(uri);
    return out;
}

} // namespace

GstElement* GstQueuePlayer::systemAudioSink(bool& silent) {
    initGstreamer();
    silent = false;
    GstElement* automatic = gst_element_factory_make("autoaudiosink", nullptr);
    if (automatic && gst_element_set_state(automatic, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
        // The automatic sink picks a device when it starts; with none it quietly uses a fake
        // sink that does not keep time, which would race through the order.
        bool fake = false;
        GstIterator* children = gst_bin_iterate_elements(GST_BIN(automatic));
        GValue item = G_VALUE_INIT;
        while (gst_iterator_next(children, &item) == GST_ITERATOR_OK) {
            auto* child = GST_ELEMENT(g_value_get_object(&item));
            if (GstElementFactory* factory = gst_element_get_factory(child))
                fake = fake ||
                       g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fakesink") == 0;
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(children);
        gst_element_set_state(automatic, GST_STATE_NULL);
        if (!fake) return automatic;
    }
    if (automatic) gst_object_unref(automatic);
    silent = true;
    GstElement* sink = gst_element_factory_make("fakesink", "silent-output");
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

GstQueuePlayer::GstQueuePlayer(GstElement* audioSink) {
    initGstreamer();
    sink_ = audioSink ? audioSink : systemAudioSink(silent_);
    gst_object_ref_sink(sink_);
    buildPipeline();
}

GstQueuePlayer::~GstQueuePlayer() {
    dropPipeline();
    gst_object_unref(sink_);
}

void GstQueuePlayer::buildPipeline() {
    playbin_ = gst_element_factory_make("playbin", nullptr);
    // Audio only: no video or subtitle streams are built for files that carry them.
    g_object_set(playbin_, "audio-sink", sink_, "flags", 0x2 /* audio */, "volume", volume_, nullptr);
    g_signal_connect(playbin_, "about-to-finish", G_CALLBACK(&GstQueuePlayer::onAboutToFinish), this);
    buildFilter();
    GstBus* bus = gst_element_get_bus(playbin_);
    busWatch_ = gst_bus_add_watch(bus, &GstQueuePlayer::onBusMessage, this);
    gst_object_unref(bus);
}

void GstQueuePlayer::buildFilter() {
    rgVolume_ = limiter_ = nullptr;
    GError* error = nullptr;
    GstElement* filter = gst_parse_bin_from_description("rgvolume name=level ! rglimiter name=limit", TRUE, &error);
    if (!filter) {
        log::write(log::Category::Player, std::string("no ReplayGain: ") + (error ? error->message : "?"));
        g_clear_error(&error);
        return;
    }
    g_clear_error(&error);
    rgVolume_ = gst_bin_get_by_name(GST_BIN(filter), "level");
    limiter_ = gst_bin_get_by_name(GST_BIN(filter), "limit");
    gst_object_unref(rgVolume_); // the filter holds them
    gst_object_unref(limiter_);
    GstPad* in = gst_element_get_static_pad(rgVolume_, "sink");
    gst_pad_add_probe(in, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &GstQueuePlayer::onFilterInput, this, nullptr);
    gst_object_unref(in);
    GstPad* out = gst_element_get_static_pad(rgVolume_, "src");
    gst_pad_add_probe(out, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &GstQueuePlayer::onFilterOutput, this, nullptr);
    gst_object_unref(out);
    {
        std::lock_guard lock(mutex_);
        applyLevels(streamGain_);
    }
    g_object_set(playbin_, "audio-filter", filter, nullptr);
}

void GstQueuePlayer::applyLevels(Gain gain) {
    if (!rgVolume_) return;
    const bool levelled = gain != Gain::Recorded;
    const double preAmp = levelled ? preAmp_ : 0;
    const double untagged = levelled ? untagged_ : 0;
    // With no headroom, rgvolume holds every gain under the file's peak. A level the user raised
    // may pass the peak by as much, and the limiter then keeps it from clipping; otherwise the
    // limiter stays out of the way, as it would soften every loud sample.
    const double headroom = std::max({0.0, preAmp, untagged});
    g_object_set(rgVolume_, "album-mode", gain == Gain::Album, "pre-amp", preAmp,
                 // rgvolume adds the pre-amp to the gain of untagged files as well
                 "fallback-gain", untagged - preAmp, "headroom", headroom, nullptr);
    g_object_set(limiter_, "enabled", headroom > 0, nullptr);
}

GstPadProbeReturn GstQueuePlayer::onFilterInput(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
    auto& p = *static_cast<GstQueuePlayer*>(self);
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_STREAM_START) {
        // rgvolume forgets a file's gains only at an end of stream, which a gapless change of
        // item never sends: one of its own, stopped behind it, makes it start afresh.
        GstEvent* reset = gst_event_new_eos();
        gst_event_set_seqnum(reset, p.resetSeqnum_);
        gst_pad_send_event(pad, reset);
        std::lock_guard lock(p.mutex_);
        std::optional<ItemId> item;
        if (!p.starting_.empty()) {
            item = p.starting_.front();
            p.starting_.pop_front();
        }
        const auto entry =
            std::find_if(p.queue_.begin(), p.queue_.end(), [&](const Entry& e) { return e.id == item; });
        p.streamGain_ = entry == p.queue_.end() ? Gain::Album : entry->gain;
        p.applyLevels(p.streamGain_);
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_TAG) {
        {
            std::lock_guard lock(p.mutex_);
            if (p.streamGain_ != Gain::Recorded) return GST_PAD_PROBE_OK;
        }
        // Played as recorded: rgvolume never hears of the file's gains.
        GstTagList* tags = nullptr;
        gst_event_parse_tag(event, &tags);
        constexpr const char* gains[] = {GST_TAG_TRACK_GAIN, GST_TAG_TRACK_PEAK, GST_TAG_ALBUM_GAIN,
                                         GST_TAG_ALBUM_PEAK, GST_TAG_REFERENCE_LEVEL};
        if (std::none_of(std::begin(gains), std::end(gains),
                         [&](const char* tag) { return gst_tag_list_get_tag_size(tags, tag) > 0; }))
            return GST_PAD_PROBE_OK;
        GstTagList* kept = gst_tag_list_copy(tags);
        for (const char* tag : gains)
            gst_tag_list_remove_tag(kept, tag);
        GstEvent* replaced = gst_event_new_tag(kept);
        gst_event_unref(event);
        GST_PAD_PROBE_INFO_DATA(info) = replaced;
    }
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn GstQueuePlayer::onFilterOutput(GstPad*, GstPadProbeInfo* info, gpointer self) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    const bool reset = GST_EVENT_TYPE(event) == GST_EVENT_EOS &&
                       gst_event_get_seqnum(event) == static_cast<GstQueuePlayer*>(self)->resetSeqnum_;
    return reset ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

void GstQueuePlayer::dropPipeline() {
    g_source_remove(busWatch_);
    gst_element_set_state(playbin_, GST_STATE_NULL);
    gst_object_unref(playbin_);
    playbin_ = nullptr;
    prerolling_ = false;
    pendingSeek_.reset();
}

std::vector<QueuePlayer::ItemId> GstQueuePlayer::items() const {
    std::lock_guard lock(mutex_);
    std::vector<ItemId> ids;
    for (const auto& e : queue_)
        ids.push_back(e.id);
    return ids;
}

std::optional<QueuePlayer::ItemId> GstQueuePlayer::currentItem() const {
    std::lock_guard lock(mutex_);
    return queue_.empty() ? std::nullopt : std::optional(queue_.front().id);
}

void GstQueuePlayer::append(ItemId item, const std::string& path, double duration, Gain gain) {
    bool first = false;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({item, uriOf(path), duration, gain});
        first = queue_.size() == 1;
    }
    if (first) loadCurrent();
}

void GstQueuePlayer::setGain(ItemId item, Gain gain) {
    std::lock_guard lock(mutex_);
    for (auto& e : queue_)
        if (e.id == item) e.gain = gain;
}

void GstQueuePlayer::setReplayGainLevels(double preAmp, double untagged) {
    std::lock_guard lock(mutex_);
    preAmp_ = preAmp;
    untagged_ = untagged;
    applyLevels(streamGain_);
}

void GstQueuePlayer::stopStreams() {
    gst_element_set_state(playbin_, GST_STATE_READY);
    // What the stopped streams posted is still on the bus: an error of an item being torn down
    // (a decoder that found itself unlinked), its end or its start. Read after this, it would
    // be taken for the next load's, and end a good item as failed.
    GstBus* bus = gst_element_get_bus(playbin_);
    gst_bus_set_flushing(bus, TRUE);
    gst_bus_set_flushing(bus, FALSE);
    gst_object_unref(bus);
    prerolling_ = false;
    pendingSeek_.reset();
}

void GstQueuePlayer::loadCurrent(gint64 at) {
    stopStreams();
    std::string uri;
    {
        std::lock_guard lock(mutex_);
        handedOver_.reset();
        starting_.clear();
        if (queue_.empty()) return;
        uri = queue_.front().uri;
        starting_.push_back(queue_.front().id);
        awaitingStart_ = true;
    }
    g_object_set(playbin_, "uri", uri.c_str(), nullptr);
    // A start further in waits, paused, for the pipeline to be ready to seek: nothing before
    // that point is heard.
    if (at > 0) pendingSeek_ = at;
    const bool playNow = playing_ && !pendingSeek_;
    prerolling_ = gst_element_set_state(playbin_, playNow ? GST_STATE_PLAYING : GST_STATE_PAUSED) ==
                  GST_STATE_CHANGE_ASYNC;
    if (!prerolling_) prerolled();
}

void GstQueuePlayer::prerolled() {
    prerolling_ = false;
    if (!pendingSeek_) return;
    const auto at = *pendingSeek_;
    pendingSeek_.reset();
    seekTo(at);
    if (playing_) gst_element_set_state(playbin_, GST_STATE_PLAYING);
}

void GstQueuePlayer::seekTo(gint64 at) {
    gst_element_seek_simple(playbin_, GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), at);
}

gint64 GstQueuePlayer::positionNanos() const {
    if (resumeAt_) return *resumeAt_;
    if (pendingSeek_) return *pendingSeek_;
    gint64 at = 0;
    return gst_element_query_position(playbin_, GST_FORMAT_TIME, &at) ? at : 0;
}

void GstQueuePlayer::removeAllItems() {
    stopStreams();
    resumeAt_.reset();
    std::lock_guard lock(mutex_);
    queue_.clear();
    starting_.clear();
    handedOver_.reset();
    holdHandOver_ = false;
}

void GstQueuePlayer::removeItemsAfterCurrent() {
    // playbin already holds the old next item: the current one is loaded again where it is, and
    // plays to its end without a hand-over.
    bool reload = false;
    {
        std::lock_guard lock(mutex_);
        if (queue_.size() < 2) return;
        queue_.resize(1);
        reload = handedOver_.has_value() && !resumeAt_;
        if (reload) holdHandOver_ = true;
    }
    if (!reload) return;
    loadCurrent(positionNanos());
}

void GstQueuePlayer::cueCurrent(double seconds) {
    if (playing_ || !currentItem()) return;
    // Loaded at the next play(), as after a lost output: nothing is decoded before then.
    stopStreams();
    resumeAt_ = static_cast<gint64>(std::max(seconds, 0.0) * GST_SECOND);
}

void GstQueuePlayer::play() {
    playing_ = true;
    if (resumeAt_) {
        const auto at = *resumeAt_;
        resumeAt_.reset();
        return loadCurrent(at);
    }
    // With a seek still to come, the pipeline plays once it has been sought.
    if (currentItem() && !pendingSeek_) gst_element_set_state(playbin_, GST_STATE_PLAYING);
}

void GstQueuePlayer::pause() {
    playing_ = false;
    if (currentItem() && !resumeAt_) gst_element_set_state(playbin_, GST_STATE_PAUSED);
}

void GstQueuePlayer::seekPlayer(double seconds) {
    double duration = 0;
    bool handedOver = false;
    {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return;
        duration = queue_.front().duration;
        handedOver = handedOver_.has_value();
    }
    if (seconds >= duration) return endCurrent(false, false);
    const auto at = static_cast<gint64>(std::max(seconds, 0.0) * GST_SECOND);
    if (resumeAt_) {
        resumeAt_ = at;
        return;
    }
    // Once the next item was handed over, a seek would land in it: load the current item
    // again. It asks for the next item again at once while it loads, so none is handed over
    // for the rest of this item: it ends, and the next one is loaded then.
    if (handedOver) {
        {
            std::lock_guard lock(mutex_);
            holdHandOver_ = true;
        }
        return loadCurrent(at);
    }
    // An item just loaded cannot be sought until its pipeline is ready: the latest target is
    // taken then, and the item holds still until it has been.
    if (prerolling_) {
        if (!pendingSeek_ && playing_) gst_element_set_state(playbin_, GST_STATE_PAUSED);
        pendingSeek_ = at;
        return;
    }
    seekTo(at);
}

double GstQueuePlayer::position() const {
    double duration = 0;
    {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return 0;
        duration = queue_.front().duration;
    }
    return std::clamp(static_cast<double>(positionNanos()) / GST_SECOND, 0.0, duration);
}

void GstQueuePlayer::setVolume(double linear) {
    volume_ = std::clamp(linear, 0.0, 1.0);
    g_object_set(playbin_, "volume", volume_, nullptr);
}

void GstQueuePlayer::seekItem(ItemId item, double seconds) {
    if (currentItem() == item) seekPlayer(seconds);
}

void GstQueuePlayer::onAboutToFinish(GstElement* playbin, gpointer self) {
    auto& p = *static_cast<GstQueuePlayer*>(self);
    std::lock_guard lock(p.mutex_);
    if (p.queue_.size() < 2 || p.handedOver_ || p.holdHandOver_) return;
    p.handedOver_ = p.queue_[1].id;
    p.starting_.push_back(p.queue_[1].id);
    g_object_set(playbin, "uri", p.queue_[1].uri.c_str(), nullptr);
    log::write(log::Category::Player, "handed over item " + std::to_string(p.queue_[1].id));
}

gboolean GstQueuePlayer::onBusMessage(GstBus*, GstMessage* message, gpointer self) {
    static_cast<GstQueuePlayer*>(self)->handle(message);
    return TRUE;
}

void GstQueuePlayer::handle(GstMessage* message) {
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STREAM_START: {
        bool transition = false;
        {
            std::lock_guard lock(mutex_);
            if (awaitingStart_)
                awaitingStart_ = false;
            else
                transition = handedOver_.has_value();
        }
        // The handed-over item has started: the one before it has ended, gaplessly.
        if (transition) endCurrent(false, true);
        break;
    }
    case GST_MESSAGE_ASYNC_DONE:
        if (prerolling_ && GST_MESSAGE_SRC(message) == GST_OBJECT(playbin_)) prerolled();
        break;
    case GST_MESSAGE_EOS:
        endCurrent(false, false);
        break;
    case GST_MESSAGE_ERROR:
        handleError(message);
        break;
    default:
        break;
    }
}

void GstQueuePlayer::handleError(GstMessage* message) {
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const std::string reason = error && error->message ? error->message : "unknown error";
    g_clear_error(&error);
    gint64 position = 0;
    const bool positioned = gst_element_query_position(playbin_, GST_FORMAT_TIME, &position);
    // A seek still to come is where the item stands.
    const gint64 standsAt = pendingSeek_ ? *pendingSeek_ : positioned ? position : 0;
    // An error inside the sink is the output's, not the song's: the song stays playable.
    if (gst_object_has_as_ancestor(GST_MESSAGE_SRC(message), GST_OBJECT(sink_))) {
        log::write(log::Category::Player, "output failed, paused: " + reason);
        dropPipeline();
        buildPipeline();
        playing_ = false;
        if (currentItem()) resumeAt_ = standsAt;
        if (listener_) listener_->outputFailed(*this, reason);
        return;
    }
    // The item handed over is prepared while the current one still plays its last moments;
    // an error of its own is its fault, not the current item's. The current item then plays
    // on to its end from where it was, with no hand-over, and the broken one fails when its
    // turn comes.
    const auto source = itemUriOf(GST_MESSAGE_SRC(message));
    bool nextFailed = false;
    {
        std::lock_guard lock(mutex_);
        nextFailed = positioned && source && handedOver_ && queue_.size() > 1 && *source == queue_[1].uri &&
                     queue_[1].uri != queue_[0].uri;
    }
    // A broken or unreadable file ends its item; the order goes on with the next one. The
    // failing elements report more than once, some of them late: a fresh pipeline hears none
    // of it.
    dropPipeline();
    buildPipeline();
    log::write(log::Category::Player, std::string(nextFailed ? "next item" : "item") + " failed: " + reason);
    if (!nextFailed) return endCurrent(true, false);
    {
        std::lock_guard lock(mutex_);
        holdHandOver_ = true;
    }
    loadCurrent(standsAt);
}

void GstQueuePlayer::endCurrent(bool failed, bool nextAlreadyStarted) {
    ItemId ended = 0;
    {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return;
        ended = queue_.front().id;
        queue_.pop_front();
        resumeAt_.reset();
        pendingSeek_.reset();
        holdHandOver_ = false;
        if (nextAlreadyStarted) handedOver_.reset();
    }
    if (!nextAlreadyStarted) {
        if (currentItem())
            loadCurrent();
        else
            stopStreams();
    }
    if (listener_) listener_->itemEnded(*this, ended, failed);
}

GstQueuePlayerFactory::GstQueuePlayerFactory() {
    GstElement* probe = GstQueuePlayer::systemAudioSink(silent_);
    gst_object_unref(probe);
}

std::unique_ptr<QueuePlayer> GstQueuePlayerFactory::create() {
    return std::make_unique<GstQueuePlayer>();
}

} // namespace platter
