// The top panel, the playlists list and the main panel's switching, on the application
// controller with a recording view: what each panel shows and which actions it calls.

#include "dark_palette.h"
#include "panel_fixture.h"
#include "ui/album_outline_model.h"
#include "ui/language.h"
#include "ui/main_view_controller.h"
#include "ui/main_window.h"
#include "ui/playlists_view_controller.h"
#include "ui/qt_dialogs.h"
#include "ui/setting_window_controller.h"
#include "ui/song_table_model.h"
#include "ui/theme.h"
#include "ui/top_view_controller.h"
#include "ui/view_controller.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace platter {
namespace {

TEST(SettingsNotice, SaysWhereTheFileWentOrThatItStayedAndNothingIsSaved) {
    using Status = SettingsFile::Status;
    EXPECT_TRUE(MainWindow::settingsFileNotice({Status::Loaded, {}, {}}).isEmpty());
    EXPECT_TRUE(MainWindow::settingsFileNotice({Status::Missing, {}, {}}).isEmpty());
    EXPECT_EQ(MainWindow::settingsFileNotice({Status::Corrupt, {}, "/c/settings.plist.corrupt-1"}),
              "Your settings file could not be read and was set aside as /c/settings.plist.corrupt-1; the "
              "defaults apply.");
    // A read-only folder: no path to name, and no empty one either.
    EXPECT_EQ(MainWindow::settingsFileNotice({Status::Corrupt, {}, {}}),
              "Your settings file could not be read, nor set aside; the defaults apply, and no setting will be "
              "saved.");
}

TEST(CountsText, HoursToOneDecimalWithHalvesAwayFromZero) {
    const auto text = [](std::int64_t songs, std::int64_t albums, double seconds) {
        return MyTopViewController::countsText(songs, albums, seconds).toStdString();
    };
    EXPECT_EQ(text(7, 1, 2700), "7 Songs, 1 Albums, 0.8 hours");
    EXPECT_EQ(text(0, 0, 0), "0 Songs, 0 Albums, 0.0 hours");
    EXPECT_EQ(text(1, 1, 1800), "1 Songs, 1 Albums, 0.5 hours");
    EXPECT_EQ(text(2, 1, 180), "2 Songs, 1 Albums, 0.1 hours");
    EXPECT_EQ(text(3, 2, 43200), "3 Songs, 2 Albums, 12.0 hours");
    EXPECT_EQ(text(1, 1, std::numeric_limits<double>::quiet_NaN()), "1 Songs, 1 Albums, nan hours");
    EXPECT_EQ(text(1, 1, -std::numeric_limits<double>::infinity()), "1 Songs, 1 Albums, -inf hours");
}

using TopPanel = testing::PanelFixture;

TEST_F(TopPanel, ModesPlaceTheCautionAndTheStepControls) {
    MyTopViewController top(*app);
    top.resize(900, 200);
    const auto shown = [&](QWidget* w) { return !w->isHidden(); };
    EXPECT_TRUE(top.cautionCentred());
    EXPECT_EQ(top.cautionView()->text(), MyTopViewController::cautionNoSelection());
    EXPECT_FALSE(shown(top.configureView()) || shown(top.playlistView()));

    top.setViewsWithMode(
        TopViewMode::Playing); // straight after 0: the list's controls, the caution left as it was
    EXPECT_TRUE(shown(top.playlistView()));
    EXPECT_TRUE(top.cautionCentred());
    EXPECT_EQ(top.cautionView()->text(), MyTopViewController::cautionNoSelection());

    top.setViewsWithMode(TopViewMode::Configuring);
    top.setCautionViewWithSongCount(7, 1, 2700);
    EXPECT_TRUE(shown(top.configureView()));
    EXPECT_FALSE(shown(top.playlistView()));
    EXPECT_FALSE(top.cautionCentred());
    EXPECT_EQ(top.cautionView()->geometry().topLeft(), QPoint(20, 10));
    EXPECT_EQ(top.cautionView()->text(), "7 Songs, 1 Albums, 0.8 hours");

    top.setViewsWithMode(TopViewMode::NoSongs);
    EXPECT_TRUE(top.cautionCentred());
    EXPECT_EQ(top.cautionView()->text(), MyTopViewController::cautionNoSongs());
}

TEST_F(TopPanel, ANarrowPanelShrinksTheArtworkBeforeThePosition) {
    MyTopViewController top(*app);
    top.setViewsWithMode(TopViewMode::Playing);
    EXPECT_LE(top.minimumWidth(), 560);
    for (const int width : {top.minimumWidth(), 640, 900}) {
        top.resize(width, MyTopViewController::panelHeight);
        top.show();
        const auto art =
            top.artworkView()->isVisible()
                ? top.artworkView()->geometry().translated(top.artworkView()->parentWidget()->pos())
                : QRect(width, 0, 0, 0);
        const auto position = top.positionView()->geometry();
        EXPECT_LE(art.right(), width - 1) << width;
        EXPECT_LE(top.transportView()->geometry().right(), position.left()) << width;
        EXPECT_LT(position.right(), art.left()) << width;
        EXPECT_GE(top.positionSlider()->width(), 60) << width;
    }
    EXPECT_EQ(top.artworkView()->width(), MyTopViewController::panelHeight) << "room for the whole artwork";
}

TEST_F(TopPanel, TransportImagesAndTitles) {
    MyTopViewController top(*app);
    const auto images = [&] {
        return std::array{!top.backwardB()->icon().isNull(), !top.playPauseB()->icon().isNull(),
                          !top.forwardB()->icon().isNull()};
    };
    EXPECT_EQ(images(), (std::array{false, false, false})) << "no images until something can play";
    top.setAudioControlViewWithPlaying(true, true);
    EXPECT_EQ(images(), (std::array{true, true, true}));
    const auto pauseKey = top.playPauseB()->icon().cacheKey();
    top.setAudioControlViewWithPlaying(false, false);
    EXPECT_EQ(images(), (std::array{true, true, true}));
    EXPECT_NE(top.playPauseB()->icon().cacheKey(), pauseKey) << "the play image while paused";
    top.setAudioControlViewWithPlaying(false, true);
    EXPECT_EQ(images(), (std::array{false, false, false}));

    QFile cover(QStringLiteral(PLATTER_DEMO_FOLDER "/iTunes Media/Music/Compilations/Summer Sampler/cover.jpg"));
    ASSERT_TRUE(cover.open(QIODevice::ReadOnly));
    top.setArtworkAndTextsWithArtwork(cover.readAll().toStdString(), "Undertow", "Night Swim", "Lumen");
    EXPECT_TRUE(top.showsArtwork());
    EXPECT_EQ(top.songTitle()->text(), "Undertow");
    EXPECT_EQ(top.artistName()->text(), "Lumen");
    top.setArtworkAndTextsWithArtwork(std::string("not an image"), "", "", "");
    EXPECT_FALSE(top.showsArtwork()) << "bytes that are no image show nothing";
}

TEST_F(TopPanel, ButtonsCallTheControllersActions) {
    MyTopViewController top(*app);
    app->changePlaylistWithRow(rowOf("Mix"));
    top.findChild<QPushButton*>("showList")->click();
    EXPECT_FALSE(top.playlistView()->isHidden());
    // Without their pictures the transport buttons are not there: no tooltip, no click.
    top.setAudioControlViewWithPlaying(false, true);
    for (auto* b : top.findChildren<QToolButton*>()) {
        EXPECT_TRUE(b->toolTip().isEmpty()) << b->objectName().toStdString();
        b->click();
    }
    EXPECT_FALSE(app->playinglistNumber());
    top.setAudioControlViewWithPlaying(false, false);
    EXPECT_EQ(top.playPauseB()->toolTip(), "Play");
    EXPECT_EQ(top.forwardB()->toolTip(), "Next song");
    top.playPauseB()->click();
    EXPECT_TRUE(app->playinglistNumber());

    h.view.calls.clear();
    top.findChild<QPushButton*>("backToConfig")->click();
    top.findChild<QPushButton*>("backToConfig")->click();
    EXPECT_EQ(h.view.calls, std::vector<std::string>{"mode 1"}) << "the second press refreshes nothing";
}

TEST_F(TopPanel, ThePositionFollowsTheSongAndTheSlidersSeekAndSetTheVolume) {
    MyTopViewController top(*app);
    top.resize(1100, 200);
    app->changePlaylistWithRow(rowOf("Mix"));
    app->showPlaylist();
    top.setViewsWithMode(TopViewMode::Playing);
    EXPECT_FALSE(top.positionSlider()->isEnabled()) << "nothing to seek before it plays";
    app->playMusic();
    auto& player = *h.players.made.back();
    player.at = 65;
    top.refreshPosition();
    EXPECT_EQ(top.positionSlider()->maximum(), 60000) << "the file's length";
    EXPECT_EQ(top.elapsedView()->text(), "1:00") << "never past the length";
    player.at = 12.5;
    top.refreshPosition();
    EXPECT_EQ(top.elapsedView()->text(), "0:12");
    EXPECT_EQ(top.remainingView()->text(), "-0:47");

    // Dragged: the thumb stays where the user holds it, and the song moves when it is let go.
    top.positionSlider()->setSliderDown(true);
    top.positionSlider()->setSliderPosition(30000);
    top.refreshPosition();
    EXPECT_EQ(top.positionSlider()->sliderPosition(), 30000);
    top.positionSlider()->setSliderDown(false);
    EXPECT_EQ(player.seeks.back(), std::make_pair(player.currentItem(), 30.0));
    EXPECT_EQ(top.elapsedView()->text(), "0:30");

    // A click on the groove goes there, not a page towards it.
    top.show();
    auto* slider = top.positionSlider();
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() * 3 / 4, slider->height() / 2));
    QTest::qWait(0);
    ASSERT_FALSE(player.seeks.empty());
    EXPECT_NEAR(player.seeks.back().second, 45.0, 3.0);

    top.volumeSlider()->setValue(40);
    EXPECT_EQ(app->volume(), 0.4);
    EXPECT_EQ(player.volume, 0.4);
    app->setVolume(0.8); // from the desktop's controls
    top.refreshPosition();
    EXPECT_EQ(top.volumeSlider()->value(), 80);

    EXPECT_EQ(MyTopViewController::clockText(3723), "1:02:03");
    EXPECT_EQ(MyTopViewController::clockText(std::nan("")), "0:00");
}

// The offscreen platform's screen is about the size of a small laptop's.
bool insideScreen(const QWidget& window) {
    return window.screen()->availableGeometry().contains(window.frameGeometry());
}

TEST_F(TopPanel, TheWindowsSizeColumnsAndSplitReturnAtTheNextStartInsideTheScreen) {
    const auto file = QString::fromStdString((h.dir.path() / "window.conf").string());
    QList<int> kept;
    {
        MainWindow window(*app, false);
        window.keepLayoutIn(file);
        window.resize(700, 500);
        window.show();
        window.viewController()->columns()->setSizes({150, 550, 0});
        kept = window.viewController()->columns()->sizes();
        ASSERT_LT(kept[0], 180);
        window.viewController()->mainViewCont()->tableView()->horizontalHeader()->resizeSection(
            SongTableModel::Name, 333);
        window.storeLayout();
    }
    MainWindow again(*app, false);
    again.keepLayoutIn(file);
    EXPECT_EQ(again.size(), QSize(700, 500));
    EXPECT_EQ(again.viewController()->mainViewCont()->tableView()->horizontalHeader()->sectionSize(
                  SongTableModel::Name),
              333);
    again.show();
    EXPECT_EQ(again.viewController()->columns()->sizes(), kept)
        << "the sidebar's width, the link column folded";

    // Kept on a larger screen: brought inside this one.
    {
        MainWindow window(*app, false);
        window.keepLayoutIn(file);
        window.setGeometry(300, 200, 1400, 1000);
        window.storeLayout();
    }
    MainWindow moved(*app, false);
    moved.keepLayoutIn(file);
    EXPECT_TRUE(insideScreen(moved)) << moved.frameGeometry().x() << "," << moved.frameGeometry().y() << " "
                                     << moved.width() << "x" << moved.height();

    h.dir.write("garbage.conf", "window=@ByteArray(nonsense)\ncolumns=3\nsongTable=7\n\x01\x02");
    MainWindow fresh(*app, false);
    const auto first = fresh.geometry();
    fresh.keepLayoutIn(QString::fromStdString((h.dir.path() / "garbage.conf").string()));
    EXPECT_EQ(fresh.geometry(), first) << "a file it cannot read changes nothing";

    // Only a regular file of its own: a FIFO is not waited on, a link is neither followed nor
    // written through (as root, it could name a system file).
    const auto fifo = h.dir.path() / "fifo.conf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    MainWindow piped(*app, false);
    piped.keepLayoutIn(QString::fromStdString(fifo.string()));
    piped.storeLayout();
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    const auto link = h.dir.path() / "link.conf";
    std::filesystem::create_symlink(file.toStdString(), link);
    const auto before = testing::TempDir::read(file.toStdString());
    MainWindow linked(*app, false);
    linked.keepLayoutIn(QString::fromStdString(link.string()));
    EXPECT_EQ(linked.geometry(), first) << "the layout behind the link is not read";
    linked.resize(720, 520);
    linked.storeLayout();
    EXPECT_EQ(testing::TempDir::read(file.toStdString()), before);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    MainWindow own(*app, false);
    own.keepLayoutIn(QString::fromStdString(link.string()));
    EXPECT_EQ(own.size(), QSize(720, 520)) << "the file in the link's place is the window's";
}

TEST_F(TopPanel, ThePlatterMenuChoosesAnotherLibrary) {
    MainWindow window(*app, false);
    auto* choose = window.findChild<QAction*>("chooseLibrary");
    ASSERT_NE(choose, nullptr);
    const auto other = h.dir.write("Other.xml", plist::writeXml(testing::libraryValue({{9, "x", "X"}}, {})));
    h.dialogs.openAnswers = {other.string()};
    choose->trigger();
    EXPECT_EQ(h.dialogs.openPanels, 1);
    EXPECT_EQ(app->musicLibraryUrl(), fileUrlFromPath(other.string()));
    EXPECT_EQ(app->library().songs.size(), 1u);
}

TEST_F(TopPanel, TheFirstWindowFitsTheScreenCentredAndWorksAt800By600) {
    MainWindow window(*app, false);
    const auto room = window.screen()->availableGeometry();
    EXPECT_TRUE(insideScreen(window));
    EXPECT_LE((window.frameGeometry().center() - room.center()).manhattanLength(), 30);
    if (room.width() >= 1450 && room.height() >= 950) {
        EXPECT_EQ(window.size(), MainWindow::preferredSize);
    }

    window.resize(800, 600);
    window.show();
    window.setNotice(
        QStringLiteral("Your settings file could not be read and was set aside as "
                       "/home/someone/.config/platter/settings.plist.corrupt-1; the defaults apply."));
    window.findMusicFolderButton()->show();
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(800, 600));
    const auto shownWhole = [&](QWidget* w) {
        return w->isVisible() && window.rect().contains(QRect(w->mapTo(&window, QPoint()), w->size()));
    };
    EXPECT_TRUE(shownWhole(window.findMusicFolderButton())) << "the status line's button";
    auto* top = window.viewController()->topViewCont();
    EXPECT_TRUE(shownWhole(top));
    EXPECT_TRUE(shownWhole(window.viewController()->mainViewCont()));
    EXPECT_GE(window.viewController()->columns()->sizes().value(0), ViewController::sidebarMinimum);
}

TEST(Theme, TextStandsOutFromItsBackgroundInLightAndDarkSchemes) {
    const auto dark = testing::darkPalette();
    for (const auto& [scheme, palette] :
         {std::pair{"light", QApplication::style()->standardPalette()}, std::pair{"dark", dark}}) {
        const auto theme = Theme::of(palette);
        const auto c = [&](const char* name) { return theme.colours.at(QString::fromLatin1(name)); };
        // Text on each background the style sheet puts it on.
        for (const auto& [fore, back] :
             std::vector<std::pair<const char*, const char*>>{{"text", "sidebar"},
                                                              {"secondaryText", "sidebar"},
                                                              {"text", "topStart"},
                                                              {"text", "topEnd"},
                                                              {"secondaryText", "topEnd"},
                                                              {"buttonText", "button"},
                                                              {"buttonText", "base"},
                                                              {"buttonText", "alternateBase"},
                                                              {"buttonText", "selection"},
                                                              {"secondaryText", "header"},
                                                              {"noticeText", "notice"},
                                                              {"accentText", "accent"},
                                                              {"link", "base"},
                                                              {"link", "header"},
                                                              {"buttonText", "playingUnit"}})
            EXPECT_GE(Theme::contrast(c(fore), c(back)), 4.5) << scheme << ": " << fore << " on " << back;
        // The focus ring, against what a focused control sits on.
        for (const auto* back : {"base", "alternateBase", "selection", "topStart", "topEnd", "sidebar"})
            EXPECT_GE(Theme::contrast(c("focus"), c(back)), 3.0) << scheme << ": focus on " << back;
        QFile style(QStringLiteral(":/platter.qss"));
        ASSERT_TRUE(style.open(QIODevice::ReadOnly));
        EXPECT_FALSE(theme.styleSheet(QString::fromUtf8(style.readAll())).contains(QLatin1Char('@')))
            << scheme << ": every colour named is known";
    }
    EXPECT_LT(Theme::of(dark).colours.at("base").lightness(), 60) << "a dark scheme gets a dark window";
}

TEST_F(TopPanel, TheWindowFollowsTheDesktopFromLightToDark) {
    MainWindow window(*app, false);
    const auto light = QApplication::palette();
    const auto base = [&] { return Theme::of(QApplication::palette()).colours.at("base").name(); };
    EXPECT_TRUE(window.styleSheet().contains(base()));
    auto* play = window.viewController()->topViewCont()->playPauseB();
    window.viewController()->topViewCont()->setAudioControlViewWithPlaying(false, false);
    // The picture's darkest drawn pixel: dark glyphs on a light window, light ones on a dark one.
    const auto glyphLightness = [&] {
        const auto image = play->icon().pixmap(32).toImage();
        int darkest = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 200) darkest = std::min(darkest, QColor(image.pixel(x, y)).lightness());
        return darkest;
    };
    EXPECT_LT(glyphLightness(), 100);
    QApplication::setPalette(testing::darkPalette());
    EXPECT_TRUE(window.styleSheet().contains(base())) << "restyled at the switch";
    EXPECT_GT(glyphLightness(), 150) << "the transport buttons stay visible";
    QApplication::setPalette(light);
}

// The playlist menu's entry `title`.
QAction* menuAction(MainWindow& window, const QString& title) {
    for (auto* menu : window.findChildren<QMenu*>())
        for (auto* action : menu->actions())
            if (action->text().remove('&') == title) return action;
    return nullptr;
}

TEST_F(TopPanel, TheStepsActionsNeedAPlaylistInTheirStep) {
    MainWindow window(*app, false);
    app->addObserver(window.viewController());
    auto* top = window.viewController()->topViewCont();
    auto* main = window.viewController()->mainViewCont();
    const auto enabled = [&] {
        std::string on;
        for (const auto* title :
             {"Save Album Choices", "Shuffle Albums", "Reshuffle", "Edit Albums", "Export…"}) {
            auto* action = menuAction(window, QString::fromUtf8(title));
            on += action && action->isEnabled() ? '1' : '0';
        }
        return on + (main->playNextAction()->isEnabled() ? '1' : '0');
    };
    EXPECT_EQ(enabled(), "000000") << "nothing selected";
    top->showPlaylist(); // as the shortcut did
    EXPECT_TRUE(top->playlistView()->isHidden()) << "the panel stays in one mode";
    EXPECT_TRUE(top->configureView()->isHidden());
    EXPECT_EQ(main->shownView(), nullptr);

    app->changePlaylistWithRow(rowOf("Mix"));
    EXPECT_EQ(enabled(), "110000");
    menuAction(window, "Shuffle Albums")->trigger();
    EXPECT_EQ(enabled(), "001111");
    menuAction(window, "Edit Albums")->trigger();
    EXPECT_EQ(enabled(), "110000");
    app->changePlaylistWithRow(-1);
    EXPECT_EQ(enabled(), "000000");
    }

// The window on the keyboard alone.
class Keyboard : public testing::PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        owned = std::make_unique<MainWindow>(*app, false);
        w = owned.get();
        app->addObserver(w->viewController());
        w->resize(1000, 700);
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        app->changePlaylistWithRow(rowOf("Mix"));
    }
        MyMainViewController* main() { return w->viewController()->mainViewCont(); }

    std::unique_ptr<MainWindow> owned;
    MainWindow* w = nullptr;
};

TEST_F(Keyboard, SpaceTogglesTheOutlinesFocusedBoxAndPlaysAndPausesElsewhere) {
    auto* outline = main()->outlineView();
    auto* model = main()->outlineModel();
    QModelIndex suite;
    for (int r = 0; r < model->rowCount(); ++r)
        if (model->index(r, 0).data().toString() == "Suite") suite = model->index(r, 0);
    ASSERT_TRUE(suite.isValid());
    outline->setFocus();
    outline->setCurrentIndex(suite);
    QSignalSpy plays(menuAction(*w, "Play/Pause"), &QAction::triggered);
    const auto box = [&](AlbumOutlineModel::Column c) {
        return suite.siblingAtColumn(c).data(Qt::CheckStateRole);
    };

    QTest::keyClick(outline, Qt::Key_Space); // the row's first box
    EXPECT_EQ(box(AlbumOutlineModel::SeparateDiscs), Qt::Checked);
    EXPECT_EQ(outline->currentIndex().column(), AlbumOutlineModel::SeparateDiscs) << "the focus shows which";
    QTest::keyClick(outline, Qt::Key_Right);
    QTest::keyClick(outline, Qt::Key_Space);
    EXPECT_EQ(box(AlbumOutlineModel::SeparateSongs), Qt::Checked);
    EXPECT_EQ(box(AlbumOutlineModel::SeparateDiscs), Qt::Unchecked);
    EXPECT_EQ(plays.count(), 0);

    QTest::keyClick(outline, Qt::Key_Left);
    QTest::keyClick(outline, Qt::Key_Left);
    EXPECT_EQ(outline->currentIndex(), suite);
    QTest::keyClick(outline, Qt::Key_Right);
    EXPECT_TRUE(outline->isExpanded(suite)) << "Right still opens an album";
    QTest::keyClick(outline, Qt::Key_Down);
    ASSERT_EQ(outline->currentIndex().parent(), suite);
    QTest::keyClick(outline, Qt::Key_Space); // a disc of an album split into songs has no box
    EXPECT_EQ(plays.count(), 1);
}

TEST_F(Keyboard, TheSearchNarrowsTheOutlineAndTheTableAndEscapeBringsEveryRowBack) {
    auto* field = main()->searchField();
    auto* outline = main()->outlineView();
    auto* albums = main()->outlineModel();
    auto* table = main()->tableView();
    auto* songs = main()->songModel();
    QAbstractItemModelTester albumsTester(albums, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester songsTester(songs, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto titles = [&] {
        QStringList t;
        for (int r = 0; r < albums->rowCount(); ++r)
            t << albums->index(r, 0).data().toString();
        return t.join('|').toStdString();
    };
    const auto album = [&](const char* title) {
        for (int r = 0; r < albums->rowCount(); ++r)
            if (albums->index(r, 0).data().toString() == title) return albums->index(r, 0);
        return QModelIndex();
    };
    const auto all = titles();
    outline->expand(album("Suite"));
    const auto loose = albums->index(0, 0, albums->index(0, 0, album("Single")));
    outline->setCurrentIndex(loose);

    QTest::keySequence(w, QKeySequence::Find);
    EXPECT_EQ(QApplication::focusWidget(), field);
    QTest::keyClicks(field, "PRELUDE");
    EXPECT_EQ(titles(), "Suite") << "a song's name, case and accents aside";
    EXPECT_EQ(albums->rowCount(album("Suite")), 2) << "an album shows whole";
    field->setText("zoe\xCC\x88 SUN"); // decomposed
    EXPECT_EQ(titles(), "Hits") << "every word, each in a song of its own";
    field->setText("ana rain");
    EXPECT_EQ(titles(), "");
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(titles(), all);
    EXPECT_EQ(outline->currentIndex(), loose) << "the row the search hid";
    EXPECT_TRUE(outline->isExpanded(album("Suite")));

    menuAction(*w, "Shuffle Albums")->trigger();
    const auto names = [&] {
        QStringList t;
        for (int r = 0; r < songs->rowCount(); ++r)
            t << songs->index(r, SongTableModel::Name).data().toString();
        t.sort();
        return t.join('|').toStdString();
    };
    const auto rowNamed = [&](const char* name) {
        for (int r = 0; r < songs->rowCount(); ++r)
            if (songs->index(r, SongTableModel::Name).data().toString() == QString::fromUtf8(name)) return r;
        return -1;
    };
    table->setCurrentIndex(songs->index(rowNamed("Loose"), SongTableModel::Name));
    field->setFocus();
    QTest::keyClicks(field, "a");
    EXPECT_EQ(names(), "Coda|Fugue|Pr\xC3\xA9lude|Rain") << "a name, album or artist";
    // A rule stands above each row whose unit is not the one above it, though its first song hides.
    for (int r = 0; r < songs->rowCount(); ++r) {
        const auto unit = [&](int row) { return mix().unitAt(songs->orderIndex(row))->unit; };
        EXPECT_EQ(songs->index(r, 1).data(SongTableModel::UnitStartRole).toBool(),
                  r > 0 && unit(r) != unit(r - 1))
            << r;
    }
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(songs->rowCount(), 6);
    EXPECT_EQ(table->currentIndex().row(), rowNamed("Loose"));
    EXPECT_TRUE(table->selectionModel()->isRowSelected(rowNamed("Loose")));

    // Played from a row the search moved: the song of that row plays, marked there.
    field->setText("hits zoë");
    ASSERT_EQ(songs->rowCount(), 1);
    QApplication::processEvents();
    const auto rain = table->visualRect(songs->index(0, SongTableModel::Name)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rain); // a press, then the double-click
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, rain);
    ASSERT_NE(app->currentSong(), nullptr);
    EXPECT_EQ(app->currentSong()->name(), "Rain");
    EXPECT_EQ(songs->markerRow(), 0);
    field->setText("");
    EXPECT_EQ(songs->markerRow(), rowNamed("Rain"));

    field->setText("loose");
    app->changePlaylistWithRow(rowOf("Other"));
    EXPECT_EQ(field->text(), "") << "another playlist";
    auto* shown = qobject_cast<QAbstractItemView*>(main()->shownView());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->model()->rowCount(), 1);
}

TEST_F(Keyboard, TabReachesEveryControl) {
    menuAction(*w, "Shuffle Albums")->trigger();
    app->playMusic();
    w->viewController()->topViewCont()->refreshPosition();
    w->setNotice(QStringLiteral("A notice"));
    w->findMusicFolderButton()->show();
    auto* list = w->viewController()->playlistsViewCont()->myTableView();
    list->setFocus();
    std::set<QWidget*> reached;
    for (int i = 0; i < 40 && QApplication::focusWidget(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.insert(QApplication::focusWidget());
    }
    auto* top = w->viewController()->topViewCont();
    for (QWidget* control : std::initializer_list<QWidget*>{
             list, top->findChild<QPushButton*>("reshuffle"), top->findChild<QPushButton*>("export"),
             top->findChild<QPushButton*>("backToConfig"), top->backwardB(), top->playPauseB(),
             top->forwardB(), top->findChild<QToolButton*>("restartAlbum"),
             top->findChild<QToolButton*>("nextAlbum"), top->positionSlider(), top->volumeSlider(),
             main()->tableView(), w->findMusicFolderButton()})
        EXPECT_TRUE(reached.contains(control)) << control->objectName().toStdString();
}

TEST_F(Keyboard, TheFocusedRowButtonAndSliderShowARingInLightAndDarkSchemes) {
    const auto light = QApplication::palette();
    auto* top = w->viewController()->topViewCont();
    auto* list = w->viewController()->playlistsViewCont()->myTableView();
    for (const auto& palette : {light, testing::darkPalette()}) {
        QApplication::setPalette(palette);
        const auto ring = Theme::of(palette).colours.at("focus");
        const auto ringPixels = [&](QWidget* widget) {
            const auto image = widget->grab().toImage();
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor p = image.pixelColor(x, y);
                    n += std::abs(p.red() - ring.red()) + std::abs(p.green() - ring.green()) +
                             std::abs(p.blue() - ring.blue()) <
                         24;
                }
            return n;
        };
        // What focus adds: the ring's pixels with it, less those without.
        const auto ringOf = [&](QWidget* control, QWidget* drawn) {
            w->findMusicFolderButton()->setFocus();
            const auto before = ringPixels(drawn);
            control->setFocus();
            return ringPixels(drawn) - before;
        };
        main()->outlineView()->setCurrentIndex(main()->outlineModel()->index(0, 0));
        EXPECT_GT(ringOf(main()->outlineView(), main()->outlineView()->viewport()), 40)
            << "the outline's row";
        EXPECT_GT(ringOf(list, list->viewport()), 40) << "the playlists list's row";
        auto* shuffle = top->findChild<QPushButton*>("showList");
        EXPECT_GT(ringOf(shuffle, shuffle), 40) << "the default button";
        top->setViewsWithMode(TopViewMode::Playing);
        EXPECT_GT(ringOf(top->volumeSlider(), top->volumeSlider()), 40);
        top->setAudioControlViewWithPlaying(false, false);
        EXPECT_GT(ringOf(top->playPauseB(), top->playPauseB()), 40) << "a transport button";
        top->setViewsWithMode(TopViewMode::Configuring);
    }
    QApplication::setPalette(light);
}

// The folder "Box" holding "Other", then "Mix".
class PlaylistsList : public ::testing::Test {
protected:
    void SetUp() override {
        h.useLibrary(testing::libraryValue({{1, "a", "A"}, {2, "b", "B"}},
                                           {{"BOX", "Box", {}, {{"Folder", true}}},
                                            {"OTHER", "Other", {2}, {{"Parent Persistent ID", "BOX"}}},
                                            {"MIX", "Mix", {1, 2}}}));
        app = &h.launch();
    }
    std::size_t number(std::string_view id) const {
        const auto& all = app->allPlaylists();
        return static_cast<std::size_t>(
            std::find_if(all.begin(), all.end(), [&](const auto& p) { return p->persistentID() == id; }) -
            all.begin());
    }

    testing::AppHarness h;
    AppDelegate* app = nullptr;
};

TEST_F(PlaylistsList, SelectingARowSelectsThePlaylistAndClearingSelectsNone) {
    MyPlaylistsViewController list(*app);
    QAbstractItemModelTester tester(list.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(list.width, 180);
    list.refreshTable();
    ASSERT_EQ(list.model()->rowCount(), 3) << "All Songs, Box, Mix";
    const auto box = list.model()->indexOf(number("BOX"));
    const auto other = list.model()->indexOf(number("OTHER"));
    ASSERT_EQ(list.model()->rowCount(box), 1);
    EXPECT_EQ(other.parent(), box);
    EXPECT_EQ(other.data().toString(), "Other");
    const auto icon = [](const QModelIndex& row) { return row.data(Qt::DecorationRole).value<QIcon>(); };
    ASSERT_FALSE(icon(box).isNull());
    EXPECT_NE(icon(box).cacheKey(), icon(other).cacheKey()) << "a folder's icon";

    list.myTableView()->setCurrentIndex(other);
    EXPECT_EQ(app->playlistNumber(), number("OTHER"));
    // A click below the rows, or a Ctrl+click on the chosen one, keeps the choice.
    list.resize(MyPlaylistsViewController::width, 400);
    list.show();
    auto* rows = list.myTableView()->viewport();
    QTest::mouseClick(rows, Qt::LeftButton, {}, QPoint(40, rows->height() - 10));
    EXPECT_EQ(app->playlistNumber(), number("OTHER")) << "a click on no row";
    const auto selected = list.myTableView()->visualRect(other).center();
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ControlModifier, selected);
    EXPECT_EQ(app->playlistNumber(), number("OTHER")) << "a Ctrl+click on the chosen one";
    EXPECT_EQ(list.myTableView()->selectionModel()->selectedRows().size(), 1);
    h.view.calls.clear();
    list.myTableView()->clearSelection();
    EXPECT_FALSE(app->playlistNumber());
    ASSERT_FALSE(h.view.calls.empty());
    EXPECT_EQ(h.view.calls.front(), "mode 0") << "-1 reached the controller";
}

TEST_F(PlaylistsList, ItsContextMenuGivesAPlaylistItsOwnShuffleModeAndTakesItBack) {
    MyPlaylistsViewController list(*app);
    const auto& other = *app->allPlaylists()[number("OTHER")];
    const std::unique_ptr<QMenu> menu(list.shuffleMenuFor(number("OTHER")));
    auto* followPreferences = menu->findChild<QAction*>("shuffleDefault");
    auto* rediscover = menu->findChild<QAction*>("shuffleRediscover");
    ASSERT_TRUE(followPreferences && rediscover);
    EXPECT_TRUE(followPreferences->isChecked());
    EXPECT_EQ(rediscover->text(), "Rediscover: Long Unheard First");
    rediscover->trigger();
    EXPECT_EQ(app->ownShuffleMode(other), ShuffleMode::Rediscover);
    EXPECT_TRUE(plist::find(h.settings.values, "playlistShuffleModes")) << "kept with the settings";
    const std::unique_ptr<QMenu> again(list.shuffleMenuFor(number("OTHER")));
    EXPECT_TRUE(again->findChild<QAction*>("shuffleRediscover")->isChecked());
    again->findChild<QAction*>("shuffleDefault")->trigger();
    EXPECT_EQ(app->ownShuffleMode(other), std::nullopt);
}

TEST_F(PlaylistsList, FoldersFoldFromTheKeyboardAndStayFoldedInTheNextWindow) {
    const auto file = QString::fromStdString((h.dir.path() / "window.conf").string());
    {
        MainWindow window(*app, false);
        window.keepLayoutIn(file);
        window.show();
        auto* list = window.viewController()->playlistsViewCont();
        auto* tree = list->myTableView();
        const auto box = list->model()->indexOf(number("BOX"));
        EXPECT_TRUE(tree->isExpanded(box)) << "a folder never folded shows its playlists";
        tree->setFocus();
        tree->setCurrentIndex(box);
        EXPECT_EQ(app->playlistNumber(), number("BOX")) << "a folder plays like a playlist";
        QTest::keyClick(tree, Qt::Key_Left);
        EXPECT_FALSE(tree->isExpanded(box));
        QTest::keyClick(tree, Qt::Key_Down);
        EXPECT_EQ(app->playlistNumber(), number("MIX")) << "past the folded folder's playlists";
        QTest::keyClick(tree, Qt::Key_Up);
        QTest::keyClick(tree, Qt::Key_Right);
        EXPECT_TRUE(tree->isExpanded(box));
        QTest::keyClick(tree, Qt::Key_Down);
        EXPECT_EQ(app->playlistNumber(), number("OTHER"));
        QTest::keyClick(tree, Qt::Key_Left);
        EXPECT_EQ(app->playlistNumber(), number("BOX")) << "Left goes up to the folder";
        QTest::keyClick(tree, Qt::Key_Right);
        EXPECT_EQ(app->playlistNumber(), number("OTHER"));
        tree->collapse(box); // its arrow, clicked
        EXPECT_EQ(app->playlistNumber(), number("OTHER")) << "folding is no choice";
        QTest::keyClick(tree, Qt::Key_Down);
        EXPECT_EQ(app->playlistNumber(), number("MIX")) << "on from the folder";
        window.storeLayout();
    }
    MainWindow again(*app, false);
    again.keepLayoutIn(file);
    auto* list = again.viewController()->playlistsViewCont();
    EXPECT_FALSE(list->myTableView()->isExpanded(list->model()->indexOf(number("BOX"))));
    list->refreshTable();
    EXPECT_FALSE(list->myTableView()->isExpanded(list->model()->indexOf(number("BOX"))))
        << "a reload keeps the fold";
    EXPECT_EQ(list->foldedFolders(), QStringList{"BOX"});
}

TEST(PlaylistsListBeforeReading, HasNoRows) {
    testing::AppHarness h;
    h.dialogs.openAnswers.push_back(std::nullopt);
    auto& app = h.launch(); // no library: the user cancelled the open panel
    MyPlaylistsViewController list(app);
    EXPECT_EQ(list.model()->rowCount(), 0);
}

using MainPanel = testing::PanelFixture;

TEST_F(MainPanel, ShowsNothingTheOutlineOrTheTable) {
    MyMainViewController panel(*app);
    panel.refreshView();
    EXPECT_EQ(panel.shownView(), nullptr);
    app->changePlaylistWithRow(rowOf("Mix"));
    panel.refreshView();
    EXPECT_EQ(panel.shownView(), panel.outlineView());
    EXPECT_EQ(panel.outlineModel()->rowCount(), 3);
    app->showPlaylist();
    panel.refreshView();
    EXPECT_EQ(panel.shownView(), panel.tableView());
    EXPECT_EQ(panel.songModel()->rowCount(), 6);
    app->changePlaylistWithRow(-1);
    panel.refreshView();
    EXPECT_EQ(panel.shownView(), nullptr);
    EXPECT_EQ(panel.songModel()->rowCount(), 0);
}

} // namespace
} // namespace platter

namespace platter {
namespace {

// The window's content without web panes (as for the root user): what the controller tells it.
using Routing = testing::PanelFixture;

TEST_F(Routing, ThePanelsShowWhatTheControllerSays) {
    ViewController view(*app, false);
    app->addObserver(&view);
    auto* top = view.topViewCont();
    auto* main = view.mainViewCont();
    EXPECT_EQ(view.webViews()[0], nullptr);
    view.appChanged(AppEvent::LinkPages); // nowhere to show them: nothing happens

    app->changePlaylistWithRow(-1);
    EXPECT_EQ(top->cautionView()->text(), MyTopViewController::cautionNoSelection()) << "no counts";
    app->changePlaylistWithRow(rowOf("Mix"));
    EXPECT_EQ(top->cautionView()->text(), "6 Songs, 3 Albums, 0.1 hours");
    EXPECT_EQ(main->shownView(), main->outlineView());
    EXPECT_TRUE(top->forwardB()->icon().isNull()) << "no transport while the choices show";

    app->showPlaylist();
    EXPECT_EQ(main->shownView(), main->tableView());
    EXPECT_FALSE(top->forwardB()->icon().isNull()) << "the order's play button";
    app->playMusic();
    const auto first = QString::fromStdString(app->nowPlaying()->song);
    EXPECT_FALSE(top->playPauseB()->icon().isNull());
    EXPECT_EQ(top->songTitle()->text(), first);
    app->pauseMusic();
    EXPECT_EQ(top->songTitle()->text(), first) << "the artwork and titles stay";
    EXPECT_FALSE(top->forwardB()->icon().isNull());
    app->backToConfig();
    EXPECT_EQ(top->songTitle()->text(), "") << "nothing is current while the choices show";
    EXPECT_TRUE(top->forwardB()->icon().isNull());
}

TEST_F(Routing, TheTableFollowsTheSongThatPlays) {
    ViewController view(*app, false);
    app->addObserver(&view);
    view.resize(1000, 280); // room for a couple of rows below the top panel
    view.show();
    app->changePlaylistWithRow(rowOf("Mix"));
    app->showPlaylist();
    QApplication::processEvents(); // lays the table out
    auto* scroll = view.mainViewCont()->tableView()->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0) << "the rows do not all fit";
    EXPECT_EQ(scroll->value(), 0);
    app->playFromSong(5);
    QApplication::processEvents();
    EXPECT_GT(scroll->value(), 0);
}

TEST(SongFilesNotice, CountsTheSongsWithoutAFileInTheUsersNumbers) {
    const auto previous = QLocale();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(MainWindow::songFilesNotice({.found = 3, .notFound = 1}),
              "1 of 4 songs has no file on this computer.");
    EXPECT_EQ(MainWindow::songFilesNotice({.found = 9178, .notFound = 1234}),
              "1,234 of 10,412 songs have no file on this computer.");
    EXPECT_EQ(MainWindow::songFilesNotice({.noFile = 2}),
              "None of the 2 songs in this library has a file on this computer: they are streams or songs "
              "kept in the cloud.");
    EXPECT_TRUE(MainWindow::songFilesNotice({.found = 10, .noFile = 2}).isEmpty());
    EXPECT_TRUE(MainWindow::songFilesNotice({}).isEmpty());
    QLocale::setDefault(previous);
}

// The window as a German or French desktop shows it, through the translations the program loads.
class Translated : public testing::PanelFixture {
protected:
    void TearDown() override {
        installTranslations(QLocale::c());
        QLocale::setDefault(previous);
        PanelFixture::TearDown();
    }
    void speak(const QLocale& locale) {
        QLocale::setDefault(locale);
        ASSERT_TRUE(installTranslations(locale)) << locale.name().toStdString();
    }
    // The menu bar's titles, joined by "|".
    static std::string menus(MainWindow& window) {
        QStringList titles;
        for (auto* action : window.menuBar()->actions())
            titles << action->text();
        return titles.join('|').toStdString();
    }

    QLocale previous;
};

TEST_F(Translated, MenusPreferencesNoticesAndAlertsSpeakTheDesktopsLanguage) {
    speak(QLocale(QLocale::German, QLocale::Germany));
    {
        MainWindow window(*app, false);
        app->addObserver(window.viewController());
        EXPECT_EQ(menus(window), "&Platter|&Wiedergabeliste|&Steuerung");
        EXPECT_NE(menuAction(window, "Alben mischen"), nullptr);
        EXPECT_NE(menuAction(window, "Einstellungen…"), nullptr);
        EXPECT_EQ(window.findMusicFolderButton()->text(), "Musikordner suchen…");
        EXPECT_EQ(MyTopViewController::countsText(1234, 56, 2700), "1.234 Titel, 56 Alben, 0,8 Stunden");
        EXPECT_EQ(window.viewController()->topViewCont()->cautionView()->text(),
                  "Bitte wählen Sie links eine Wiedergabeliste.");
            }
    EXPECT_EQ(MainWindow::songFilesNotice({.found = 9178, .notFound = 1234}),
              "1.234 von 10.412 Titeln haben keine Datei auf diesem Computer.");
    EXPECT_EQ(
        MainWindow::settingsFileNotice({SettingsFile::Status::Corrupt, {}, "/c/s.corrupt-1"}),
        "Ihre Einstellungsdatei konnte nicht gelesen werden und wurde als /c/s.corrupt-1 beiseitegelegt; es "
        "gelten die Standardwerte.");

    MySettingWindowController preferences({.countries = {"Österreich"}, .selectedCountry = 0, .ratio = 40});
    EXPECT_EQ(preferences.windowTitle(), "Einstellungen");
    EXPECT_EQ(preferences.replayGainMode()->itemText(0), "Aus");
    QStringList labels;
    for (const auto* label : preferences.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains("Musikordner:")) << labels.join('|').toStdString();

    // The controller's questions show in the desktop's language.
    QtDialogs dialogs;
    QStringList buttons;
    testing::whenModalShows([&buttons](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        buttons.clear();
        for (auto* button : box->buttons())
            buttons << button->text();
        box->escapeButton()->click();
    });
    EXPECT_FALSE(dialogs.confirmReset());
    buttons.sort();
    EXPECT_EQ(buttons.join('|').toStdString(), "Abbrechen|OK");

    speak(QLocale(QLocale::French, QLocale::France));
    {
        MainWindow window(*app, false);
        EXPECT_EQ(menus(window), "&Platter|&Liste de lecture|&Commandes");
        EXPECT_NE(menuAction(window, "Mélanger les albums"), nullptr);
    }
    EXPECT_EQ(MainWindow::songFilesNotice({.found = 3, .notFound = 1}),
              "1 morceau sur 4 n'a pas de fichier sur cet ordinateur.");

    // A language Platter does not speak: its English words, as before.
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    EXPECT_FALSE(installTranslations(QLocale(QLocale::Dutch, QLocale::Netherlands)));
    MainWindow window(*app, false);
    EXPECT_EQ(menus(window), "&Platter|P&laylist|&Controls");
}

} // namespace
} // namespace platter
