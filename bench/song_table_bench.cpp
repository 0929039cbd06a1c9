// How the song table behaves with the all-songs playlist of a 200k-track library: showing the
// order, jumping to far rows and redrawing for a new playing song, each with its paint, on Qt's
// offscreen platform. A frame of a smooth scroll has about 16 ms.

#include "library_generator.h"
#include "support/app_harness.h"
#include "ui/main_view_controller.h"
#include "ui/song_table_model.h"

#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

namespace {

template <class F> double millis(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Renders the visible rows as the screen would get them.
void paint(QTableView* table) {
    (void)table->viewport()->grab();
}

void report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-34s median %7.2f ms   95th %7.2f ms   worst %7.2f ms\n", what, samples[samples.size() / 2],
                samples[samples.size() * 95 / 100], samples.back());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    const std::size_t tracks = argc > 1 ? std::stoul(argv[1]) : 200000;
    const auto path = platter::bench::benchLibrary(tracks);

    platter::testing::AppHarness harness;
    harness.useLibraryFile(path);
    auto& app = harness.launch(false);
    if (app.allPlaylists().empty()) return 1;
    app.changePlaylistWithRow(0);
    app.showPlaylist();

    platter::MyMainViewController panel(app);
    panel.resize(900, 700);
    panel.show();
    auto* table = panel.tableView();
    const double shown = millis([&] {
        panel.refreshView();
        paint(table);
    });
    const auto rows = panel.songModel()->rowCount();
    std::printf("%d rows; the table shown and painted in %.2f ms\n", rows, shown);

    std::mt19937 random(1);
    std::vector<double> jumps, pages, redraws;
    for (int i = 0; i < 300; ++i) {
        const auto row = std::uniform_int_distribution<int>(0, rows - 1)(random);
        jumps.push_back(millis([&] {
            panel.scrollSongTableToRow(row);
            paint(table);
        }));
        pages.push_back(millis([&] {
            auto* bar = table->verticalScrollBar();
            bar->setValue(bar->value() + bar->pageStep());
            paint(table);
        }));
        redraws.push_back(millis([&] {
            panel.reloadSongRows();
            paint(table);
        }));
    }
    report("jump to a far row and paint", jumps);
    report("scroll a page and paint", pages);
    report("redraw for a new playing song", redraws);
}
