// How the search field keeps up with typing on the all-songs playlist of a 200k-track library:
// each keystroke's narrowed outline of albums, and of the shuffled order's song table, with its
// paint, on Qt's offscreen platform. The field folds the texts as it takes the focus.

#include "library_generator.h"
#include "support/app_harness.h"
#include "ui/album_outline_model.h"
#include "ui/main_view_controller.h"
#include "ui/song_table_model.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

template <class F> double millis(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-44s median %7.2f ms   95th %7.2f ms   worst %7.2f ms\n", what, samples[samples.size() / 2],
                samples[samples.size() * 95 / 100], samples.back());
}

// Types `words` into the field a key at a time, then takes them back a key at a time and
// clears the field, painting `view` after each.
void typeAndReport(platter::MyMainViewController& panel, QAbstractItemView* view, const char* what,
                   const std::vector<QString>& queries) {
    const auto paint = [&] {
        QApplication::processEvents();
        (void)view->viewport()->grab();
    };
    std::vector<double> focused, first, typed, erased, cleared;
    for (const auto& query : queries) {
        panel.refreshView(); // a reload: the folded texts are made again
        paint();
        panel.window()->activateWindow();
        view->setFocus();
        focused.push_back(millis([&] { panel.searchField()->setFocus(); }));
        for (qsizetype n = 1; n <= query.size(); ++n) {
            const auto ms = millis([&] {
                panel.searchField()->setText(query.left(n));
                paint();
            });
            (n == 1 ? first : typed).push_back(ms);
        }
        for (auto n = query.size() - 1; n > 0; --n)
            erased.push_back(millis([&] {
                panel.searchField()->setText(query.left(n));
                paint();
            }));
        cleared.push_back(millis([&] {
            panel.searchField()->clear();
            paint();
        }));
    }
    std::printf("%s\n", what);
    report("  field focused (folds every text)", focused);
    report("  first key", first);
    report("  each further key", typed);
    report("  each key taken back", erased);
    report("  field cleared, every row back", cleared);
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

    platter::MyMainViewController panel(app);
    panel.resize(900, 700);
    panel.show();
    panel.refreshView();
    const auto* list = app.playlistAt(app.playlistNumber());
    // Queries from the library's own names, a word and two words, and one that matches nothing.
    std::vector<QString> queries;
    for (const std::size_t at : {list->albums().size() / 3, list->albums().size() * 2 / 3}) {
        const auto& album = *list->albums()[at];
        queries.push_back(
            QString::fromUtf8(album.albumName().data(), static_cast<qsizetype>(album.albumName().size())));
        queries.push_back(
            QString::fromUtf8(album.artist().data(), static_cast<qsizetype>(album.artist().size())));
    }
    queries.push_back(QStringLiteral("zzqx nothing"));
    std::printf(
        "%zu albums, %zu songs\n", list->albums().size(), list->albums().empty() ? 0 : [&] {
            std::size_t n = 0;
            for (const auto& a : list->albums())
                n += a->songs().size();
            return n;
        }());
    typeAndReport(panel, panel.outlineView(), "the outline of albums:", queries);
    std::printf("  the last query shows %d albums\n", panel.outlineModel()->rowCount());

    app.showPlaylist();
    panel.refreshView();
    std::printf("the song table, %d rows:\n", panel.songModel()->rowCount());
    typeAndReport(panel, panel.tableView(), "the song table:", queries);
}
