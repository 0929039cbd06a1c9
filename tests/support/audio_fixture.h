#pragma once

// Short audio files made by GStreamer's own encoders, for tests that read or play real files.

#include <filesystem>
#include <functional>
#include <string>

namespace platter::testing {

enum class AudioFormat { Wav, Flac, Ogg, Mp3, M4a };

// A sine tone of `seconds` (a multiple of 0.01) at 44.1 kHz, mono.
void makeTone(const std::filesystem::path& path, AudioFormat format, double seconds, int frequency = 440);

// Runs the default GLib main context until `done` or `timeoutSeconds` passed; whether done.
bool pumpUntil(const std::function<bool()>& done, double timeoutSeconds = 10);

} // namespace platter::testing
