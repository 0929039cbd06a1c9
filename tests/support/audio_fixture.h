#pragma once

// Short audio files made by GStreamer's own encoders, for tests that read or play real files.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

typedef struct _GstElement GstElement;

namespace platter::testing {

enum class AudioFormat { Wav, Flac, Ogg, Mp3, M4a };

// A sine tone of `seconds` (a multiple of 0.01) at 44.1 kHz, mono. `tags`: GStreamer tags to
// store in the file, as `taginject` reads them ("replaygain-track-gain=-3.0,...").
void makeTone(const std::filesystem::path& path, AudioFormat format, double seconds, int frequency = 440,
              const std::string& tags = {});

// What a player rendered, at 44.1 kHz mono: counted, and kept when asked.
struct RenderedAudio {
    // A sink rendering here; in real time like a sound card, or else at full speed.
    GstElement* makeSink(bool realTime);
    // The level in dB of full scale of what was kept from `from` to `to` seconds.
    double levelOf(double from, double to) const;

    std::atomic<std::size_t> samples{0};
    // Set before playing: the samples are kept, written on the streaming thread only.
    std::atomic<bool> keep{false};
    std::vector<std::int16_t> kept;
};

// Runs the default GLib main context until `done` or `timeoutSeconds` passed; whether done.
bool pumpUntil(const std::function<bool()>& done, double timeoutSeconds = 10);

} // namespace platter::testing
