#include "support/audio_fixture.h"

#include "platform/audio/gst_pipeline.h"

#include <chrono>
#include <cmath>
#include <gst/gst.h>
#include <stdexcept>

namespace platter::testing {

void makeTone(const std::filesystem::path& path, AudioFormat format, double seconds, int frequency,
              const std::string& tags) {
    const char* tail = "";
    switch (format) {
    case AudioFormat::Wav:
        tail = "wavenc";
        break;
    case AudioFormat::Flac:
        tail = "flacenc";
        break;
    case AudioFormat::Ogg:
        tail = "audioconvert ! vorbisenc ! oggmux";
        break;
    case AudioFormat::Mp3:
        tail = "audioconvert ! lamemp3enc ! xingmux ! id3v2mux";
        break;
    case AudioFormat::M4a:
        tail = "audioconvert ! avenc_aac ! mp4mux";
        break;
    }
    const auto buffers = static_cast<int>(seconds * 100 + 0.5);
    const auto description = "audiotestsrc num-buffers=" + std::to_string(buffers) +
                             " samplesperbuffer=441 freq=" + std::to_string(frequency) +
                             " ! audio/x-raw,rate=44100,channels=1,format=S16LE ! " +
                             (tags.empty() ? "" : "taginject tags=\"" + tags + "\" ! ") + tail +
                             " ! filesink location=\"" + path.string() + "\"";
    if (const auto error = runPipeline(description, 30); !error.empty())
        throw std::runtime_error("encoding failed: " + error + ": " + description);
}

GstElement* RenderedAudio::makeSink(bool realTime) {
    gst_init(nullptr, nullptr);
    GError* error = nullptr;
    const std::string description = "audioconvert ! audioresample ! audio/x-raw,format=S16LE,rate=44100,channels=1 ! "
                                    "fakesink name=counter signal-handoffs=true sync=" +
                                    std::string(realTime ? "true" : "false");
    GstElement* sink = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
    if (!sink) throw std::runtime_error(error ? error->message : "no sink");
    GstElement* counter = gst_bin_get_by_name(GST_BIN(sink), "counter");
    g_signal_connect(counter, "handoff", G_CALLBACK(+[](GstElement*, GstBuffer* buffer, GstPad*, gpointer self) {
                         auto& r = *static_cast<RenderedAudio*>(self);
                         r.samples += gst_buffer_get_size(buffer) / 2;
                         if (!r.keep) return;
                         GstMapInfo map;
                         gst_buffer_map(buffer, &map, GST_MAP_READ);
                         const auto* first = reinterpret_cast<const std::int16_t*>(map.data);
                         r.kept.insert(r.kept.end(), first, first + map.size / 2);
                         gst_buffer_unmap(buffer, &map);
                     }),
                     this);
    gst_object_unref(counter);
    return sink;
}

double RenderedAudio::levelOf(double from, double to) const {
    const auto first = static_cast<std::size_t>(from * 44100), last = static_cast<std::size_t>(to * 44100);
    double sum = 0;
    for (auto i = first; i < last && i < kept.size(); ++i)
        sum += static_cast<double>(kept[i]) * kept[i];
    return 10 * std::log10(sum / static_cast<double>(last - first) / (32768.0 * 32768.0));
}

bool pumpUntil(const std::function<bool()>& done, double timeoutSeconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(1000);
    }
    return true;
}

} // namespace platter::testing
