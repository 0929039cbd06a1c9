#pragma once

// A launched application controller over a small library for the panel tests: playlist "Mix"
// holds a two-disc album, a compilation and a song without a track number; "Other" one song.

#include "support/app_harness.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace platter::testing {

class PanelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        auto library = libraryValue(
            {
                {1, "Pr\xC3\xA9lude", "Suite", "Ana", {}, 1, 1, 60000, {{"Track Count", 2}}},
                {2, "Fugue", "Suite", "Ana", {}, 1, 2, 61000,
                 {{"Track Count", 2}, {"Year", 1722}, {"Genre", "Baroque"}, {"Play Count", 3}, {"Rating", 60},
                  {"Play Date UTC", plist::Date{1700000000}}}},
                {3, "Coda", "Suite", "Ana", {}, 2, 1, 60000},
                {4, "Sun", "Hits", "Bo", {}, {}, 3, 60000, {{"Compilation", true}}},
                {5, "Rain", "Hits", "Zo\xC3\xAB", {}, {}, 4, 60000, {{"Compilation", true}}},
                {6, "Loose", "Single", "Di", {}, {}, {}, 60000},
            },
            {{"MIX", "Mix", {1, 2, 3, 4, 5, 6}}, {"OTHER", "Other", {6}}});
        // Every song has a file of a minute.
        for (auto& [id, track] : *plist::find(*library.get<plist::Dict>(), "Tracks")->get<plist::Dict>()) {
            const auto file = id + ".mp3";
            plist::set(*track.get<plist::Dict>(), "Location",
                       fileUrlFromPath(h.dir.write(file, "audio").string()));
            h.audioFiles.seconds[file] = 60;
        }
        h.useLibrary(library);
        app = &h.launch();
    }

    // The row of a playlist in the playlists list.
    int rowOf(std::string_view name) const {
        for (std::size_t i = 0; i < app->allPlaylists().size(); ++i)
            if (app->allPlaylists()[i]->name() == name) return static_cast<int>(i);
        return -1;
    }
    MyPlaylist& mix() { return h.playlist("MIX"); }

    AppHarness h;
    AppDelegate* app = nullptr;
};

// Answers the next modal dialog: `answer` runs once it shows, and again while it stays open
// (a file dialog may ignore an answer given before it has read its folder).
inline void whenModalShows(std::function<void(QWidget*)> answer) {
    struct State {
        QTimer timer;
        QPointer<QWidget> answered;
        bool started = false;
    };
    auto* state = new State;
    state->timer.setInterval(20);
    QObject::connect(&state->timer, &QTimer::timeout, [state, answer] {
        auto* modal = QApplication::activeModalWidget();
        if (state->started && modal != state->answered) {
            state->timer.stop();
            QTimer::singleShot(0, [state] { delete state; });
            return;
        }
        if (!modal) return;
        state->started = true;
        state->answered = modal;
        answer(modal);
    });
    state->timer.start();
}

} // namespace platter::testing
