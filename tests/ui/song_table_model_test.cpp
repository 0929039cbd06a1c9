#include "panel_fixture.h"
#include "ui/main_view_controller.h"
#include "ui/song_row_delegate.h"
#include "ui/song_table_model.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <map>

namespace platter {
namespace {

using Col = SongTableModel::Column;

class SongTable : public testing::PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        play.addPixmap(QPixmap(4, 4));
        pause.addPixmap(QPixmap(6, 6));
        model = std::make_unique<SongTableModel>(*app, play, pause);
        tester = std::make_unique<QAbstractItemModelTester>(
            model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    void showMix() {
        app->changePlaylistWithRow(rowOf("Mix"));
        app->showPlaylist();
        model->reload();
    }
    int rowNamed(std::string_view name) {
        for (std::size_t i = 0; i < mix().shuffledSongs.size(); ++i)
            if (mix().shuffledSongs[i]->name() == name) return static_cast<int>(i);
        return -1;
    }
    qint64 markerAt(int row) const {
        const auto icon = model->index(row, Col::Audio).data(Qt::DecorationRole).value<QIcon>();
        return icon.isNull() ? 0 : icon.cacheKey();
    }

    QIcon play, pause;
    std::unique_ptr<SongTableModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(SongTable, ListsTheShuffledOrderOfTheSelectedPlaylist) {
    EXPECT_EQ(model->rowCount(), 0);
    showMix();
    ASSERT_EQ(model->rowCount(), 6);
    for (int row = 0; row < 6; ++row) {
        const auto& song = *mix().shuffledSongs[static_cast<std::size_t>(row)];
        EXPECT_EQ(model->index(row, Col::Name).data().toString().toStdString(), song.name());
        EXPECT_EQ(model->index(row, Col::Album).data().toString().toStdString(), song.album());
        EXPECT_EQ(model->index(row, Col::Artist).data().toString().toStdString(), song.artist());
        const auto track = model->index(row, Col::TrackNum).data().toString();
        const std::map<std::string_view, QString> expected{{"Fugue", "2/2"}, {"Sun", "3"}, {"Loose", "0"}};
        if (const auto e = expected.find(song.name()); e != expected.end()) {
            EXPECT_EQ(track, e->second) << "a track count shows after a slash";
        }
    }
}

TEST_F(SongTable, ShowsLengthYearGenreAndStatistics) {
    showMix();
    const auto cell = [&](int row, Col column, int role = Qt::DisplayRole) {
        return model->index(row, column).data(role);
    };
    const int fugue = rowNamed("Fugue"), coda = rowNamed("Coda");
    EXPECT_EQ(cell(fugue, Col::Time).toString(), "1:01");
    EXPECT_EQ(cell(fugue, Col::Year).toString(), "1722");
    EXPECT_EQ(cell(fugue, Col::Genre).toString(), "Baroque");
    EXPECT_EQ(cell(fugue, Col::Plays).toString(), "3");
    EXPECT_FALSE(cell(fugue, Col::LastPlayed).toString().isEmpty());
    EXPECT_EQ(cell(fugue, Col::Rating, SongTableModel::RatingRole).toInt(), 60);
    EXPECT_EQ(cell(coda, Col::Year).toString(), "") << "no year, no plays: empty cells";
    EXPECT_EQ(cell(coda, Col::Plays).toString(), "");
    EXPECT_EQ(cell(coda, Col::Rating, SongTableModel::RatingRole).toInt(), 0);
    EXPECT_FALSE(cell(coda, Col::Name, SongTableModel::RatingRole).isValid());
    EXPECT_EQ(SongTableModel::timeText(3723.4), "1:02:03");
    EXPECT_EQ(SongTableModel::timeText(-1), "0:00");
}

TEST_F(SongTable, SortsByAColumnEitherWayAndBackToThePlayOrderWithTheMarkerOnItsSong) {
    showMix();
    const auto names = [&] {
        QStringList shown;
        for (int row = 0; row < model->rowCount(); ++row)
            shown << model->index(row, Col::Name).data().toString();
        return shown.join('|');
    };
    const auto order = names();
    const int fugue = rowNamed("Fugue");
    mix().playingNum = fugue;
    app->playMusic();
    const auto marker = [&] { return model->index(model->markerRow(), Col::Name).data().toString(); };
    ASSERT_EQ(marker(), "Fugue");
    const QPersistentModelIndex selected = model->index(4, Col::Name);
    const auto selectedName = selected.data().toString();

    model->sort(Col::Name, Qt::AscendingOrder);
    EXPECT_EQ(names(), "Coda|Fugue|Loose|Pr\xC3\xA9lude|Rain|Sun");
    EXPECT_EQ(marker(), "Fugue");
    EXPECT_EQ(markerAt(model->markerRow()), play.cacheKey());
    EXPECT_EQ(selected.data().toString(), selectedName) << "the selection stays with its song";
    EXPECT_FALSE(model->index(1, Col::Name).data(SongTableModel::UnitStartRole).toBool()) << "no blocks";
    model->sort(Col::Name, Qt::DescendingOrder);
    EXPECT_EQ(names(), "Sun|Rain|Pr\xC3\xA9lude|Loose|Fugue|Coda");
    EXPECT_EQ(model->orderIndex(model->markerRow()), fugue);
    // Equal keys keep the play order either way: only Fugue has a year.
    model->sort(Col::Year, Qt::DescendingOrder);
    EXPECT_EQ(names().section('|', 0, 0), "Fugue");
    model->sort(Col::Plays, Qt::AscendingOrder);
    EXPECT_EQ(names().section('|', 5, 5), "Fugue");

    // Searching within the sorted rows, and back.
    model->sort(Col::Artist, Qt::DescendingOrder);
    model->setSearch("u");
    EXPECT_EQ(names(), "Sun|Pr\xC3\xA9lude|Fugue|Coda") << "Bo, then Ana's in the play order";
    EXPECT_EQ(marker(), "Fugue");
    EXPECT_EQ(model->rowOf(rowNamed("Loose")), -1);
    EXPECT_EQ(model->rowFrom(rowNamed("Sun")), 0);
    model->setSearch({});
    model->sort(-1);
    EXPECT_EQ(names(), order);
    EXPECT_EQ(model->markerRow(), fugue);
    EXPECT_EQ(selected.data().toString(), selectedName);
}

TEST_F(SongTable, TheMarkerFollowsThePlayingSongAndPlayState) {
    showMix();
    EXPECT_EQ(model->markerRow(), 0);
    EXPECT_EQ(markerAt(0), pause.cacheKey()) << "not playing: the pause image";
    EXPECT_EQ(markerAt(1), 0);

    app->playMusic();
    EXPECT_EQ(markerAt(0), play.cacheKey());
    h.players.made.back()->end();
    EXPECT_EQ(model->markerRow(), 1);
    EXPECT_EQ(markerAt(1), play.cacheKey());
    EXPECT_EQ(markerAt(0), 0);

    // Another playlist plays: this one's row keeps the pause image.
    app->changePlaylistWithRow(rowOf("Other"));
    app->showPlaylist();
    app->pauseMusic();
    app->playMusic();
    app->changePlaylistWithRow(rowOf("Mix"));
    app->showPlaylist();
    EXPECT_EQ(markerAt(1), pause.cacheKey());

    mix().playingNum = 6; // past the last row
    EXPECT_EQ(model->markerRow(), -1);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(markerAt(row), 0);
}

TEST_F(SongTable, ScrollsToThePlayingRowOfALongOrder) {
    // The panel's table over the model: a row far down is brought into view.
    showMix();
    MyMainViewController panel(*app);
    panel.resize(600, 60);
    panel.show();
    panel.refreshView();
    ASSERT_EQ(panel.shownView(), panel.tableView());
    panel.scrollSongTableToRow(5);
    EXPECT_TRUE(panel.tableView()->viewport()->rect().intersects(
        panel.tableView()->visualRect(panel.songModel()->index(5, Col::Name))));
    panel.scrollSongTableToRow(99); // no such row: nothing happens
}

class SongTablePanel : public SongTable {
protected:
    void SetUp() override {
        SongTable::SetUp();
        showMix();
        panel = std::make_unique<MyMainViewController>(*app);
        panel->resize(900, 300);
        panel->show();
        panel->refreshView();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        songs = panel->songModel();
    }
    QHeaderView* header() const { return panel->tableView()->horizontalHeader(); }
    int ratingOf(int row) const { return app->statsOf(*songs->songAt(row)).stats.rating.value_or(0); }

    std::unique_ptr<MyMainViewController> panel;
    SongTableModel* songs = nullptr;
};

TEST_F(SongTablePanel, ColumnsAreTickedMovedAndKeptForTheNextPanel) {
    for (int c = 0; c < Col::ColumnCount; ++c)
        EXPECT_EQ(header()->isSectionHidden(c), c > Col::Time) << c;
    QMenu menu;
    panel->fillColumnsMenu(menu);
    ASSERT_EQ(menu.actions().size(), Col::ColumnCount - 1) << "every column but the marker's";
    menu.findChild<QAction*>("genre")->setChecked(true);
    menu.findChild<QAction*>("album")->setChecked(false);
    EXPECT_FALSE(header()->isSectionHidden(Col::Genre));
    EXPECT_TRUE(header()->isSectionHidden(Col::Album));
    header()->moveSection(header()->visualIndex(Col::Genre), 1);
    header()->resizeSection(Col::Genre, 140);
    const auto kept = panel->songColumnLayout();

    MyMainViewController next(*app);
    next.setSongColumnLayout(kept);
    auto* again = next.tableView()->horizontalHeader();
    EXPECT_EQ(again->visualIndex(Col::Genre), 1);
    EXPECT_EQ(again->sectionSize(Col::Genre), 140);
    EXPECT_FALSE(again->isSectionHidden(Col::Genre));
    EXPECT_TRUE(again->isSectionHidden(Col::Album));
    EXPECT_EQ(next.songColumnLayout(), kept);

    // What does not read is passed over; the rest holds.
    MyMainViewController odd(*app);
    odd.setSongColumnLayout({"year:abc", "nonsense:50", "plays:-3:hidden", "plays:70", "rating:90:maybe",
                             "audio:9999:hidden", "", "artist:100000"});
    auto* oddHeader = odd.tableView()->horizontalHeader();
    EXPECT_EQ(oddHeader->visualIndex(Col::Year), 0);
    EXPECT_FALSE(oddHeader->isSectionHidden(Col::Year)) << "it named no hiding";
    EXPECT_TRUE(oddHeader->isSectionHidden(Col::Plays)) << "the first entry of a column counts";
    EXPECT_TRUE(oddHeader->isSectionHidden(Col::Rating));
    EXPECT_FALSE(oddHeader->isSectionHidden(Col::Audio)) << "the marker always shows";
    EXPECT_EQ(oddHeader->sectionSize(Col::Artist), 180);
}

TEST_F(SongTablePanel, StarsAndKeysRateTheSongAndClickingItsRatingClearsIt) {
    header()->setSectionHidden(Col::Rating, false);
    auto* table = panel->tableView();
    table->scrollTo(songs->index(0, Col::Rating));
    const auto starAt = [&](int row, int star) {
        const auto cell = table->visualRect(songs->index(row, Col::Rating));
        for (int x = cell.left(); x < cell.right(); ++x)
            if (SongRowDelegate::starAt(cell, x) == star) return QPoint(x + 2, cell.center().y());
        ADD_FAILURE() << "no star " << star;
        return QPoint();
    };
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, starAt(0, 3));
    EXPECT_EQ(ratingOf(0), 60);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, starAt(0, 3));
    EXPECT_EQ(ratingOf(0), 0) << "its own rating again: none";
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, starAt(1, 5));
    EXPECT_EQ(ratingOf(1), 100) << "over the file's three stars";
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, QPoint(starAt(1, 5).x() + 30, starAt(1, 5).y()));
    EXPECT_EQ(ratingOf(1), 100) << "beside the stars: nothing";

    table->setFocus();
    table->setCurrentIndex(songs->index(2, Col::Name));
    QTest::keyClick(table, Qt::Key_4);
    EXPECT_EQ(ratingOf(2), 80);
    QTest::keyClick(table, Qt::Key_0);
    EXPECT_EQ(ratingOf(2), 0);
    QTest::keyClick(table, Qt::Key_6);
    EXPECT_EQ(ratingOf(2), 0);
    EXPECT_EQ(SongRowDelegate::ratingOfClick(50, 3), 0) << "half a star rounds to the one clicked";
    EXPECT_EQ(SongRowDelegate::ratingOfClick(50, 2), 40);
}

TEST_F(SongTablePanel, HeaderClicksSortThenReverseThenGoBackToThePlayOrder) {
    auto* table = panel->tableView();
    const auto clickHeader = [&](Col column) {
        QTest::mouseClick(header()->viewport(), Qt::LeftButton, {},
                          QPoint(header()->sectionViewportPosition(column) + 5, header()->height() / 2));
    };
    table->setCurrentIndex(songs->index(5, Col::Name));
    const auto current = songs->orderIndex(5);
    clickHeader(Col::Artist);
    EXPECT_EQ(songs->sortColumn(), Col::Artist);
    EXPECT_TRUE(header()->isSortIndicatorShown());
    EXPECT_EQ(header()->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(Col::Artist);
    EXPECT_EQ(songs->sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(header()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(songs->orderIndex(table->currentIndex().row()), current);
    clickHeader(Col::Artist);
    EXPECT_EQ(songs->sortColumn(), -1);
    EXPECT_FALSE(header()->isSortIndicatorShown());
    EXPECT_EQ(table->currentIndex().row(), 5);
    EXPECT_EQ(songs->markerRow(), 0);
}

} // namespace
} // namespace platter
