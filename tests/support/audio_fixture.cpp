#include "support/audio_fixture.h"

#include <chrono>
#include <gst/gst.h>
#include <stdexcept>

namespace platter::testing {

void makeTone(const std::filesystem::path& path, AudioFormat format, double seconds, int frequency) {
    gst_init(nullptr, nullptr);
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
                             " ! audio/x-raw,rate=44100,channels=1,format=S16LE ! " + tail +
                             " ! filesink location=\"" + path.string() + "\"";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (!pipeline) throw std::runtime_error(error ? error->message : "cannot make " + path.string());
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg) gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    if (!ok) throw std::runtime_error("encoding failed: " + description);
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
