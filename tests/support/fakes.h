#pragma once

#include "core/services/dialogs.h"
#include "core/services/property_list_reader.h"
#include "core/services/system_info.h"
#include "core/services/view_refresh.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace platter::testing {

// Answers the open panel with what it was told, in order; cancels when told nothing more.
struct FakeDialogs final : Dialogs {
    std::deque<std::optional<std::string>> openAnswers;
    int openPanels = 0;
    std::optional<std::string> runOpenPanel() override {
        ++openPanels;
        if (openAnswers.empty()) return std::nullopt;
        auto answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }
};

struct FakeSystem final : SystemInfo {
    std::optional<std::string> region;
    std::string home = "/nonexistent-home";
    std::optional<std::string> regionCode() const override { return region; }
    std::string homeDirectory() const override { return home; }
};

struct RecordingView final : ViewRefresh {
    std::vector<std::string> calls;
    void refreshPlaylistView() override { calls.push_back("playlists"); }
    void refreshViewsWithTopViewMode(int mode) override { calls.push_back("mode " + std::to_string(mode)); }
    void refreshViewsWithTopViewMode(int mode, std::int64_t songs, std::int64_t albums, double seconds,
                                     bool playing, bool deleteAudio) override {
        calls.push_back("mode " + std::to_string(mode) + " " + std::to_string(songs) + " " +
                        std::to_string(albums) + " " + std::to_string(seconds) + " " + (playing ? "1" : "0") +
                        (deleteAudio ? "1" : "0"));
    }
};

// Counts the files a real reader is asked to read.
struct CountingReader final : PropertyListReader {
    explicit CountingReader(const PropertyListReader& wrapped) : real(wrapped) {}
    const PropertyListReader& real;
    mutable int fileReads = 0;
    Result readFile(const std::string& path) const override {
        ++fileReads;
        return real.readFile(path);
    }
    Result parse(std::string_view bytes) const override { return real.parse(bytes); }
};

} // namespace platter::testing
