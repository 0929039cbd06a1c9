#include "support/audio_fixture.h"

#include "platform/audio/gst_pipeline.h"

#include <chrono>
#include <gst/gst.h>
#include <stdexcept>

namespace platter::testing {

void makeTone(const std::filesystem::path& path, AudioFormat format, double seconds, int frequency) {
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
    if (const auto error = runPipeline(description, 30); !error.empty())
        throw std::runtime_error("encoding failed: " + error + ": " + description);
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
