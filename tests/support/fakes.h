#pragma once

#include "core/services/dialogs.h"
#include "core/services/file_writer.h"
#include "core/services/property_list_reader.h"
#include "core/services/seeded_random.h"
#include "core/services/system_info.h"
#include "core/services/view_refresh.h"
#include "platform/files/atomic_file.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace platter::testing {

// Dialogs answered as the test told them to, in order. An open or save panel with no answer
// left is cancelled; an alert with none left takes its last button.
struct FakeDialogs final : Dialogs {
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<std::size_t> alertAnswers;
    int openPanels = 0;
    std::vector<SavePanel> savePanels;
    std::vector<Alert> alerts;

    std::optional<std::string> runOpenPanel() override {
        ++openPanels;
        return next(openAnswers);
    }
    std::optional<std::string> runSavePanel(const SavePanel& panel) override {
        savePanels.push_back(panel);
        return next(saveAnswers);
    }
    std::size_t runAlert(const Alert& alert) override {
        alerts.push_back(alert);
        if (alertAnswers.empty()) return alert.buttons.empty() ? 0 : alert.buttons.size() - 1;
        const auto answer = alertAnswers.front();
        alertAnswers.pop_front();
        return answer;
    }

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Writes through to the real atomic writer unless told to fail.
struct FakeFileWriter final : FileWriter {
    std::string failWith;
    int writes = 0;
    std::string writeAtomically(const std::string& path, std::string_view contents) override {
        ++writes;
        return failWith.empty() ? writeFileAtomically(path, contents) : failWith;
    }
};

// Draws the numbers it was given, in order, then seeded random ones.
struct ScriptedRandom final : RandomSource {
    std::deque<std::uint32_t> next;
    std::vector<std::uint32_t> bounds;
    SeededRandom fallback{42};
    std::uint32_t uniform(std::uint32_t bound) override {
        bounds.push_back(bound);
        if (next.empty()) return fallback.uniform(bound);
        const auto n = next.front();
        next.pop_front();
        return n;
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
    void refreshMainView() override { calls.push_back("main"); }
    void willPauseWithAudioShoudDelete(bool audio, bool artwork) override {
        calls.push_back(std::string("pause ") + (audio ? "1" : "0") + (artwork ? "1" : "0"));
    }
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
