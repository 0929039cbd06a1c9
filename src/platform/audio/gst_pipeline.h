#pragma once

#include <string>

namespace platter {

// Runs a GStreamer pipeline given in gst-launch syntax until it ends; an explanation when it
// could not be built, failed or took longer than `timeoutSeconds`, else empty. For making
// files (encoding), not for playback.
std::string runPipeline(const std::string& description, double timeoutSeconds = 60);

} // namespace platter
