// The whole window on the real components, under a virtual X server: the bundled demo library,
// TagLib, GStreamer into a silent sink that keeps real time, the web panes, and a stand-in
// catalogue on loopback. Dialogs are the test's fakes, told their next answer.
//
// With PLATTER_SCREENSHOTS set to a folder, the course saves a picture of the window at each
// step there.

#include "core/model/file_url.h"
#include "core/persistence/memory_settings_file.h"
#include "support/memory_state_storage.h"
#include "dark_palette.h"
#include "platform/audio/gst_queue_player.h"
#include "platform/media/taglib_media_files.h"
#include "platform/net/curl_http_fetch.h"
#include "platform/system/gio_file_watcher.h"
#include "platform/system/glib_task_runner.h"
#include "platform/text/icu_country_names.h"
#include "support/app_harness.h"
#include "support/fake_catalogue.h"
#include "ui/album_outline_model.h"
#include "ui/link_pane.h"
#include "ui/main_view_controller.h"
#include "ui/main_window.h"
#include "ui/playlists_view_controller.h"
#include "ui/setting_window_controller.h"
#include "ui/song_table_model.h"
#include "ui/top_view_controller.h"
#include "ui/view_controller.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QWebEngineScript>
#include <set>
#include <gst/gst.h>
#include <gtest/gtest.h>

namespace platter {
namespace {

// Playback that keeps real time without a sound card.
struct SilentPlayers final : QueuePlayerFactory {
    std::unique_ptr<QueuePlayer> create() override {
        auto* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", TRUE, nullptr);
        return std::make_unique<GstQueuePlayer>(sink);
    }
};

// Catalogue artwork is 100 pixels square.
std::string catalogueArtwork() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage(QStringLiteral(PLATTER_DEMO_FOLDER "/iTunes Media/Music/Compilations/Summer Sampler/cover.jpg"))
        .scaled(100, 100, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        .save(&buffer, "JPEG");
    return bytes.toStdString();
}

} // namespace

// Takes the addresses the application asks the desktop to open.
class BrowserStandIn : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

namespace {

class Window : public ::testing::Test {
protected:
    Window()
        : catalogue([this](const std::string& target) { return answer(target); }),
          settings({{"xmlUrl", fileUrlFromPath(PLATTER_DEMO_LIBRARY)}}), defaults(settings),
          app({.defaults = defaults,
               .plistReader = reader,
               .dialogs = dialogs,
               .files = files,
               .audioFiles = media,
               .artwork = media,
               .players = players,
               .tasks = tasks,
               .system = system,
               .random = random,
               .rules = rules,
               .fileSystem = fileSystem,
               .state = state,
               .libraryWatcher = &watcher,
               .http = &http,
               .countries = &countries,
               .catalogueBase = catalogue.base()}) {
        gst_init(nullptr, nullptr);
    }

    testing::CatalogueReply answer(const std::string& target) {
        using testing::serviceLayout;
        const auto base = catalogue.base();
        if (target.starts_with("/art.jpg")) return {200, catalogueArtwork()};
        if (target.starts_with("/search"))
            return {200,
                    serviceLayout({R"({"artistId":7, "artistViewUrl":"https://cat.test/artist/7?uo=4"})"})};
        if (target.find("entity=album") != std::string::npos)
            return {200, serviceLayout({R"({"collectionName":"Tidal Atlas", "collectionId":55, )"
                                        R"("collectionViewUrl":"https://cat.test/album/55?uo=4", )"
                                        R"("artworkUrl100":")" +
                                        base + R"(/art.jpg"})"})};
        return {200,
                serviceLayout(
                    {R"({"trackName":"Breakwater", "trackNumber":1, "previewUrl":")" + base + R"(/p1.m4a"})",
                     R"({"trackName":"Low Tide", "trackNumber":2, "previewUrl":")" + base + R"(/p2.m4a"})"})};
    }

    void launch() {
        app.addObserver(window.viewController());
        window.resize(1400, 900);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window)) << "keyboard shortcuts need an active window";
        ASSERT_EQ(app.applicationDidFinishLaunching(), AppDelegate::LaunchResult::Ready);
        // Pages given to the web panes in the first moments after the window shows can stall in
        // this version of the web engine; a user cannot select anything that soon.
        QTest::qWait(500);
    }

    int rowOf(std::string_view name) const {
        for (std::size_t i = 0; i < app.allPlaylists().size(); ++i)
            if (app.allPlaylists()[i]->name() == name) return static_cast<int>(i);
        return -1;
    }
    void selectPlaylist(std::string_view name) {
        auto* list = view()->playlistsViewCont()->myTableView();
        const auto index =
            view()->playlistsViewCont()->model()->indexOf(static_cast<std::size_t>(rowOf(name)));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }
    static void clickBox(QAbstractItemView* view, const QModelIndex& index) {
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.rect = view->visualRect(index);
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const auto box = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
    }
    void click(const char* name) {
        auto* button = window.findChild<QAbstractButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QAction* menuAction(const QString& title) {
        for (auto* menu : window.menuBar()->findChildren<QMenu*>())
            for (auto* action : menu->actions())
                if (action->text().remove('&') == title) return action;
        return nullptr;
    }
    void shot(const QString& name, QWidget* widget = nullptr) {
        const auto folder = qEnvironmentVariable("PLATTER_SCREENSHOTS");
        if (folder.isEmpty()) return;
        QTest::qWait(300); // let the web panes paint
        QDir().mkpath(folder);
        (widget ? widget : &window)->grab().save(folder + '/' + name + ".png");
    }
    // The centre of the first element `selector` finds in a pane, in the pane's coordinates.
    static QPoint centreOf(LinkPane* pane, const QString& selector) {
        // Shared with the callback, which may come after the wait gave up.
        auto answer = std::make_shared<QVariant>();
        pane->page()->runJavaScript(
            QStringLiteral("(function(){var r=document.querySelector('%1').getBoundingClientRect();"
                           "return [r.left + r.width / 2, r.top + r.height / 2];})()")
                .arg(selector),
            QWebEngineScript::ApplicationWorld, [answer](const QVariant& v) { *answer = v; });
        if (!QTest::qWaitFor([&] { return answer->isValid(); }, 5000)) return {};
        const auto xy = answer->toList();
        return {static_cast<int>(xy.at(0).toDouble()), static_cast<int>(xy.at(1).toDouble())};
    }
    static QString htmlOf(LinkPane* pane) {
        auto html = std::make_shared<std::optional<QString>>();
        pane->page()->toHtml([html](const QString& h) { *html = h; });
        return QTest::qWaitFor([&] { return html->has_value(); }, 2000) ? **html : QString();
    }
    static bool paneLoaded(LinkPane* pane, const char* text) {
        // A loaded machine renders slowly; the wait ends as soon as the text shows.
        return QTest::qWaitFor([&] { return htmlOf(pane).contains(QLatin1String(text)); }, 30000);
    }

    // Launches on a copy of the demo library file, alone in a folder of its own.
    std::filesystem::path launchOnACopy() {
        const auto copy = dir.path() / "iTunes Music Library.xml";
        std::filesystem::copy_file(PLATTER_DEMO_LIBRARY, copy);
        defaults.setObject("xmlUrl", fileUrlFromPath(copy.string()));
        launch();
        return copy;
    }

    ViewController* view() { return window.viewController(); }
    QModelIndex movementsRow();
    void configureEveningMix();
    void confirmAndPlay();
    MyPlaylist& selected() { return *app.playlistAt(app.playlistNumber()); }
    // Double-clicks the song table's row, as a user does: a press, then the double-click.
    void doubleClickSong(int row) {
        auto* table = view()->mainViewCont()->tableView();
        const auto centre =
            table->visualRect(view()->mainViewCont()->songModel()->index(row, SongTableModel::Name)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, centre);
    }

    testing::FakeCatalogue catalogue;
    PlistFileReader reader;
    IcuUnicodeRules unicode;
    StringRules rules{unicode};
    LocalFileSystem fileSystem;
    MemoryStateStorage state;
    MemorySettingsFile settings;
    UserDefaults defaults;
    testing::FakeDialogs dialogs;
    testing::FakeFileWriter files;
    TaglibMediaFiles media;
    SilentPlayers players;
    CurlHttpFetch http{2000, 5000};
    IcuCountryNames countries;
    testing::FakeSystem system;
    SeededRandom random{11};
    GlibTaskRunner tasks;
    GioFileWatcher watcher;
    AppDelegate app;
    MainWindow window{app};
    testing::TempDir dir;
};

// The three-disc album of "Evening Mix", found in the outline.
QModelIndex Window::movementsRow() {
    auto* model = view()->mainViewCont()->outlineModel();
    for (int r = 0; r < model->rowCount(); ++r)
        if (model->index(r, 0).data().toString() == "Three Movements") return model->index(r, 0);
    return {};
}

// "Evening Mix" selected, its three-disc album split into discs and its second disc (the only
// one the playlist has songs of) into songs, by clicking the boxes.
void Window::configureEveningMix() {
    selectPlaylist("Evening Mix");
    ASSERT_EQ(app.playlistNumber(), static_cast<std::size_t>(rowOf("Evening Mix")));
    auto* main = view()->mainViewCont();
    ASSERT_EQ(main->shownView(), main->outlineView());
    auto* outline = main->outlineView();
    auto* model = main->outlineModel();
    const auto movements = movementsRow();
    ASSERT_TRUE(movements.isValid());
    outline->expand(movements);
    clickBox(outline, movements.siblingAtColumn(AlbumOutlineModel::SeparateDiscs));
    const auto disc2 = model->index(1, 0, movements);
    ASSERT_EQ(disc2.data().toString(), "Disc 2");
    ASSERT_GT(model->rowCount(disc2), 0);
    outline->expand(disc2);
    clickBox(outline, disc2.siblingAtColumn(AlbumOutlineModel::SeparateSongs));
    ASSERT_EQ(model->albumAt(movements)->setting(), AlbumSetting::discs({{1, false}, {2, true}, {3, false}}));
}

// The order shown and playing.
void Window::confirmAndPlay() {
    click("showList");
    ASSERT_EQ(view()->mainViewCont()->shownView(), view()->mainViewCont()->tableView());
    click("playPause");
    ASSERT_TRUE(app.playinglistNumber());
}

TEST_F(Window, SelectAPlaylistAndChooseHowItsAlbumsAreShuffled) {
    launch();
    auto* top = view()->topViewCont();
    auto* main = view()->mainViewCont();
    auto* list = view()->playlistsViewCont()->model();
    const auto moods = list->indexOf(static_cast<std::size_t>(rowOf("Moods")));
    EXPECT_EQ(list->indexOf(static_cast<std::size_t>(rowOf("Calm"))).parent(), moods)
        << "the folder holds Calm";
    EXPECT_EQ(list->rowCount() + list->rowCount(moods), static_cast<int>(app.allPlaylists().size()));
    EXPECT_EQ(top->cautionView()->text(), MyTopViewController::cautionNoSelection());
    EXPECT_EQ(main->shownView(), nullptr);
    shot("1-no-selection");

    configureEveningMix();
    EXPECT_EQ(top->cautionView()->text(), "13 Songs, 4 Albums, 0.1 hours");
    const auto saves = settings.saves;
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier); // Save
    EXPECT_EQ(settings.saves, saves + 1) << "the album choices are stored";
    ASSERT_TRUE(paneLoaded(view()->webViews()[1], "Tidal Atlas"))
        << "store links for the selection; catalogue requests: " << catalogue.targets().size()
        << "; pane shows: " << htmlOf(view()->webViews()[1]).toStdString();
    shot("2-configuring");
}

TEST_F(Window, ConfirmAndPlayWithTheMarkerSpaceAndForward) {
    launch();
    configureEveningMix();
    auto* top = view()->topViewCont();
    auto* main = view()->mainViewCont();
    click("showList");
    ASSERT_EQ(main->shownView(), main->tableView());
    auto* songs = main->songModel();
    EXPECT_EQ(songs->rowCount(), 13);
    EXPECT_FALSE(top->playlistView()->isHidden());

    // Play until the next song: the marker moves with it.
    click("playPause");
    ASSERT_TRUE(app.playinglistNumber());
    EXPECT_EQ(songs->markerRow(), 0);
    EXPECT_FALSE(songs->index(0, SongTableModel::Audio).data(Qt::DecorationRole).isNull());
    EXPECT_EQ(top->songTitle()->text().toStdString(), selected().shuffledSongs[0]->name());
    ASSERT_TRUE(QTest::qWaitFor([&] { return top->showsArtwork(); }, 5000)) << "every demo song has artwork";
    shot("3-playing");
    const auto marker = main->tableView()->visualRect(songs->index(0, SongTableModel::Audio)).center();
    QTest::mouseClick(main->tableView()->viewport(), Qt::LeftButton, {}, marker);
    EXPECT_FALSE(app.playinglistNumber()) << "the marker is a pause button while playing";
    QTest::mouseClick(main->tableView()->viewport(), Qt::LeftButton, {}, marker);
    EXPECT_TRUE(app.playinglistNumber());
    QTest::keyClick(main->tableView(), Qt::Key_Space); // Space pauses and plays wherever the focus is
    EXPECT_FALSE(app.playinglistNumber());
    QTest::keyClick(view()->playlistsViewCont()->myTableView(), Qt::Key_Space);
    EXPECT_TRUE(app.playinglistNumber());
    click("forward");
    ASSERT_TRUE(QTest::qWaitFor([&] { return selected().playingNum == 1; }, 5000));
    EXPECT_EQ(songs->markerRow(), 1);
    EXPECT_TRUE(songs->index(0, SongTableModel::Audio).data(Qt::DecorationRole).isNull());
    EXPECT_EQ(top->songTitle()->text().toStdString(), selected().shuffledSongs[1]->name());
}

TEST_F(Window, TheUnitsShowAndAreSteeredByKeysAndTheTablesMenu) {
    launch();
    configureEveningMix();
    confirmAndPlay();
    auto* table = view()->mainViewCont()->tableView();
    auto* songs = view()->mainViewCont()->songModel();
    auto& list = selected();
    const auto rows = songs->rowCount();
    ASSERT_GT(list.units.size(), 4u);
    for (int row = 0; row < rows; ++row) {
        const auto place = *list.unitAt(row);
        const auto tip = songs->index(row, SongTableModel::Name).data(Qt::ToolTipRole).toString();
        EXPECT_TRUE(tip.contains(QStringLiteral("unit %1 of %2").arg(place.unit + 1).arg(list.units.size()))) << tip.toStdString();
        const auto& song = *list.shuffledSongs[static_cast<std::size_t>(row)];
        if (song.album() == "Three Movements") {
            EXPECT_TRUE(tip.startsWith("Song\n")) << "disc 2, split into songs";
        }
        if (song.album() == "Signals") {
            EXPECT_TRUE(tip.startsWith("Whole album\n"));
        }
        EXPECT_EQ(songs->index(row, SongTableModel::Album).data(SongTableModel::UnitStartRole).toBool(),
                  place.first == row && place.unit > 0);
    }

    QTest::keyClick(&window, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    const auto second = list.unitAt(0)->end;
    EXPECT_EQ(list.playingNum, second);
    EXPECT_EQ(songs->markerRow(), second);
    // Into a unit of several songs, and back to its start.
    int several = 0;
    while (list.unitAt(several)->end - list.unitAt(several)->first < 2)
        several = static_cast<int>(list.unitAt(several)->end);
    doubleClickSong(several + 1);
    EXPECT_EQ(list.playingNum, several + 1);
    QTest::keyClick(&window, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(list.playingNum, several);

    // Another unit, moved to play next with the table's shortcut, lands there whole.
    auto later = *list.unitAt(rows - 1);
    const auto plays = list.unitAt(several)->unit;
    while (later.unit == plays || later.unit == plays + 1)
        later = *list.unitAt(later.first - 1);
    const auto moved = list.shuffledSongs[static_cast<std::size_t>(later.first)];
    table->setCurrentIndex(songs->index(static_cast<int>(later.end - 1), SongTableModel::Name));
    table->setFocus();
    QTest::keyClick(table, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    const auto playing = *list.unitAt(list.playingNum);
    EXPECT_EQ(list.shuffledSongs[static_cast<std::size_t>(playing.end)], moved);
    EXPECT_EQ(table->currentIndex().row(), playing.end) << "the moved unit is shown where it went";
    EXPECT_EQ(songs->rowCount(), rows);
    shot("8-units");
}

TEST_F(Window, ReshuffleExportAndGoBackToTheChoices) {
    launch();
    configureEveningMix();
    confirmAndPlay();
    auto* main = view()->mainViewCont();
    auto* songs = main->songModel();

    // Reshuffle: a new order from its start.
    const auto order = selected().shuffledSongs;
    click("reshuffle");
    EXPECT_NE(selected().shuffledSongs, order);
    EXPECT_EQ(songs->rowCount(), 13);
    EXPECT_EQ(songs->index(0, SongTableModel::Name).data().toString().toStdString(),
              selected().shuffledSongs[0]->name());

    // Export to a file.
    const auto exported = dir.path() / "Evening.xml";
    dialogs.saveAnswers.push_back(exported.string());
    click("export");
    EXPECT_EQ(dialogs.exportPanels, std::vector<std::string>{"Evening Mix"});
    const auto written = reader.readFile(exported.string());
    ASSERT_TRUE(written.document) << "the export reads back as a library file";
    EXPECT_EQ(written.document->root().find("Playlists").at(0).stringFor("Name"), "Evening");

    // Back to configuration, and the album keeps its choice.
    click("backToConfig");
    EXPECT_EQ(main->shownView(), main->outlineView());
    EXPECT_FALSE(view()->topViewCont()->configureView()->isHidden());
    EXPECT_EQ(main->outlineModel()->albumAt(movementsRow())->setting(),
              AlbumSetting::discs({{1, false}, {2, true}, {3, false}}));
}

// Run on a 1024x768 screen under a window manager (ctest's ui_window_small_screen): the window
// as it first opens, frame and status line included, is all on the screen.
TEST_F(Window, TheWholeWindowShowsOnASmallScreen) {
    const auto room = window.screen()->availableGeometry();
    if (room.width() > 1100) GTEST_SKIP() << "for a small screen";
    app.addObserver(window.viewController());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_EQ(app.applicationDidFinishLaunching(), AppDelegate::LaunchResult::Ready);
    window.setNotice(QStringLiteral("A notice"));
    // The window manager frames the window a moment after it shows.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.frameGeometry() != window.geometry(); }, 3000))
        << "framed";
    QTest::qWait(300);
    EXPECT_TRUE(room.contains(window.frameGeometry()))
        << window.frameGeometry().x() << "," << window.frameGeometry().y() << " "
        << window.frameGeometry().width() << "x" << window.frameGeometry().height();
    auto* status = window.statusBar();
    EXPECT_TRUE(status->isVisible());
    EXPECT_TRUE(room.contains(QRect(status->mapToGlobal(QPoint()), status->size())));
    shot("small-screen");
}

TEST_F(Window, PreferencesStoreOnOkAndCancelChangesNothing) {
    launch();
    dialogs.preferenceAnswers.push_back(Dialogs::PreferencesChoice{std::nullopt, "40", {}, {}});
    dialogs.preferenceAnswers.push_back(std::nullopt);
    menuAction("Preferences…")->trigger();
    EXPECT_EQ(app.topArtistsRatio(), 40);
    menuAction("Preferences…")->trigger();
    EXPECT_EQ(app.topArtistsRatio(), 40);
    EXPECT_EQ(dialogs.preferencesShown.back().ratio, 40);
}

TEST_F(Window, ResetAsksThenReadsTheLibraryAgainAndClearsTheSelection) {
    launch();
    configureEveningMix();
    confirmAndPlay();
    dialogs.answers = {false, true};
    menuAction("Reset…")->trigger();
    EXPECT_TRUE(app.playlistNumber()) << "Cancel keeps everything";
    EXPECT_TRUE(app.playinglistNumber());
    menuAction("Reset…")->trigger();
    EXPECT_EQ(dialogs.told.size(), 2u);
    EXPECT_FALSE(app.playinglistNumber()) << "reset pauses first";
    EXPECT_FALSE(app.playlistNumber());
    EXPECT_TRUE(view()->playlistsViewCont()->myTableView()->selectionModel()->selectedRows().isEmpty());
    EXPECT_EQ(view()->mainViewCont()->shownView(), nullptr);
    EXPECT_EQ(view()->topViewCont()->cautionView()->text(), MyTopViewController::cautionNoSelection());
    auto* list = view()->playlistsViewCont()->model();
    EXPECT_EQ(list->rowCount() + list->rowCount(list->indexOf(static_cast<std::size_t>(rowOf("Moods")))),
              static_cast<int>(app.allPlaylists().size()));
}

TEST_F(Window, ARestartShowsTheOrderPausedWhereItStoppedAndSpacePlaysOn) {
    launch();
    configureEveningMix();
    confirmAndPlay();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.position() > 1.5; }, 10000));
    click("playPause");
    const auto song = app.currentSong();
    const auto stopped = app.position();
    app.applicationWillTerminate();

    // The next run, on the same settings and state.
    AppDelegate again({.defaults = defaults, .plistReader = reader, .dialogs = dialogs, .files = files,
                       .audioFiles = media, .artwork = media, .players = players, .tasks = tasks,
                       .system = system, .random = random, .rules = rules, .fileSystem = fileSystem,
                       .state = state});
    window.hide();
    MainWindow next{again};
    again.addObserver(next.viewController());
    next.resize(1400, 900);
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
    next.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&next));
    ASSERT_EQ(again.applicationDidFinishLaunching(), AppDelegate::LaunchResult::Ready);
    auto* view = next.viewController();
    auto* top = view->topViewCont();
    const auto rows = view->playlistsViewCont()->myTableView()->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.front().row(), rowOf("Evening Mix"));
    EXPECT_EQ(view->mainViewCont()->shownView(), view->mainViewCont()->tableView()) << "its order, not its choices";
    EXPECT_EQ(view->mainViewCont()->songModel()->markerRow(), 0);
    EXPECT_EQ(top->songTitle()->text().toStdString(), song->name());
    EXPECT_EQ(top->playPauseB()->toolTip(), "Play");
    ASSERT_TRUE(QTest::qWaitFor([&] { return top->showsArtwork(); }, 5000)) << "the song's file's artwork";
    EXPECT_EQ(top->elapsedView()->text(), MyTopViewController::clockText(stopped));
    EXPECT_TRUE(top->positionSlider()->isEnabled());
    shot("9-restored", &next);

    QTest::keyClick(&next, Qt::Key_Space);
    ASSERT_TRUE(again.playinglistNumber());
    EXPECT_EQ(again.currentSong()->persistentID(), song->persistentID());
    // The pipeline stands at the cued second once it has prerolled there.
    EXPECT_TRUE(QTest::qWaitFor([&] { return again.position() > 0; }, 3000));
    EXPECT_NEAR(again.position(), stopped, 1.0);
    again.pauseMusic();
}

// Pictures for the README and the release, with PLATTER_SCREENSHOTS set: choosing an album's
// pieces, playing a mixed playlist's units with the link panes full, and the preferences.
TEST_F(Window, Screenshots) {
    if (qEnvironmentVariableIsEmpty("PLATTER_SCREENSHOTS")) GTEST_SKIP() << "PLATTER_SCREENSHOTS is not set";
    launch();
    auto* top = view()->topViewCont();
    selectPlaylist("Orchestral");
    view()->mainViewCont()->outlineView()->expandAll();
    shot("4-configuring-orchestral");
    configureEveningMix();
    confirmAndPlay();
    // Played from a song of an album with a cover.
    int row = 0;
    while (selected().shuffledSongs[static_cast<std::size_t>(row)]->name() != "Moon & Tide")
        ++row;
    doubleClickSong(row);
    EXPECT_TRUE(QTest::qWaitFor([&] { return top->showsArtwork(); }, 5000));
    QTest::qWait(1500);
    shot("5-playing-evening-mix");
    Dialogs::Preferences shown;
    for (const auto& c : countries.countries())
        shown.countries.push_back(c.name);
    shown.selectedCountry = 0;
    MySettingWindowController preferences(shown, &window);
    preferences.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&preferences));
    shot("6-preferences", &preferences);
    preferences.close();

    // The same window under a dark scheme, as the desktop would switch it.
    const auto light = QApplication::palette();
    QApplication::setPalette(testing::darkPalette());
    QTest::qWait(1000); // the panes load their pages again
    shot("7-playing-dark");
    selectPlaylist("Moods"); // the demo's folder
    shot("10-folder-dark");
    QApplication::setPalette(light);
    selectPlaylist("Calm");
    shot("10-folder");
}

TEST_F(Window, AChosenMusicFolderFindsTheGreyedSongs) {
    launchOnACopy();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.songFilesKnown(); }, 10000));
    EXPECT_EQ(window.filesNotice()->text(), "28 of 29 songs have no file on this computer.");
    ASSERT_TRUE(window.findMusicFolderButton()->isVisible());
    selectPlaylist("Evening Mix");
    click("showList");
    const auto row = view()->mainViewCont()->songModel()->index(0, SongTableModel::Name);
    EXPECT_TRUE(row.data(Qt::ForegroundRole).isValid()) << "greyed";
    EXPECT_TRUE(row.data(Qt::ToolTipRole).toString().contains("iTunes Media/Music/"));
    shot("files-missing");

    dialogs.folderAnswers = {PLATTER_DEMO_FOLDER};
    click("findMusicFolder");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.filesNotice()->text().isEmpty(); }, 10000));
    EXPECT_FALSE(window.findMusicFolderButton()->isVisible());
    EXPECT_FALSE(row.data(Qt::ForegroundRole).isValid()) << "no longer greyed";
    EXPECT_FALSE(row.data(Qt::ToolTipRole).toString().contains("iTunes Media/Music/")) << "its unit only";
    EXPECT_EQ(app.musicFolders(), std::vector<std::string>{PLATTER_DEMO_FOLDER});
    shot("files-found");
}

TEST_F(Window, AReplacedLibraryFileShowsItsNewPlaylist) {
    const auto library = launchOnACopy();
    selectPlaylist("Evening Mix");
    const auto rows = view()->playlistsViewCont()->model()->rowCount();

    // The library application, on the other computer, added a playlist; a sync tool replaces
    // the file whole.
    auto root = plist::Value::copyOf(reader.readFile(library.string()).document->root());
    auto& lists = *plist::find(*root.get<plist::Dict>(), "Playlists")->get<plist::Array>();
    for (const auto& list : std::vector<plist::Value>(lists)) {
        auto copy = list;
        if (*plist::find(*copy.get<plist::Dict>(), "Name")->get<std::string>() != "Evening Mix") continue;
        plist::set(*copy.get<plist::Dict>(), "Name", "Sunday Drive");
        plist::set(*copy.get<plist::Dict>(), "Playlist Persistent ID", "0A0B0C0D0E0F1011");
        lists.push_back(std::move(copy));
    }
    const auto written = dir.write("incoming.xml", plist::writeXml(root));
    std::filesystem::rename(written, library);

    auto* list = view()->playlistsViewCont()->myTableView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->model()->rowCount() == rows + 1; }, 15000));
    EXPECT_EQ(app.allPlaylists().back()->name(), "Sunday Drive");
    ASSERT_TRUE(app.playlistNumber());
    EXPECT_EQ(selected().name(), "Evening Mix") << "the selection stays";
    EXPECT_EQ(list->selectionModel()->selectedRows().value(0).row(), rowOf("Evening Mix"));
    shot("library-replaced");
}

TEST_F(Window, ThePanesShareARendererAndLinkClicksOpenTheBrowserWithThePartnerKeys) {
    BrowserStandIn browser;
    QDesktopServices::setUrlHandler("https", &browser, "open");
    launch();
    selectPlaylist("Orchestral");
    auto* artistPane = view()->webViews()[0];
    auto* albumPane = view()->webViews()[1];
    ASSERT_TRUE(paneLoaded(artistPane, "Go to iTunes"));
    ASSERT_TRUE(paneLoaded(albumPane, "Tidal Atlas"));
    const auto pageUrl = artistPane->url();
    std::set<qint64> renderers;
    for (auto* pane : view()->webViews())
        if (pane->page()->renderProcessPid() > 0) renderers.insert(pane->page()->renderProcessPid());
    EXPECT_EQ(renderers.size(), 1u) << "one renderer process serves every pane";
    EXPECT_FALSE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("renderer-process-limit"))
        << "programs Platter starts, such as the browser, get the user's own switches";

    const auto clickIn = [](LinkPane* pane, QPoint at) {
        auto* target = pane->focusProxy() ? pane->focusProxy() : pane;
        QTest::mouseMove(target, at);
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
    };
    const auto artistLink = centreOf(artistPane, "a");
    ASSERT_FALSE(artistLink.isNull());
    clickIn(artistPane, artistLink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !browser.opened.empty(); }, 5000));
    EXPECT_EQ(browser.opened.back(), QUrl("https://cat.test/artist/7?uo=4&partnerId=11&at=10qpZK"));

    // The album link asks for a new window: that goes to the browser too.
    clickIn(albumPane, centreOf(albumPane, "a"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser.opened.size() >= 2; }, 5000));
    EXPECT_EQ(browser.opened.back(), QUrl("https://cat.test/album/55?uo=4&partnerId=11&at=10qpZK"));

    QTest::qWait(200);
    EXPECT_EQ(artistPane->url(), pageUrl) << "the pane keeps its page";
    EXPECT_TRUE(paneLoaded(artistPane, "Go to iTunes"));
    EXPECT_EQ(browser.opened.size(), 2u);
    QDesktopServices::unsetUrlHandler("https");
}

} // namespace
} // namespace platter

#include "window_test.moc"
