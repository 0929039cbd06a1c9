#include "panel_fixture.h"
#include "ui/main_view_controller.h"
#include "ui/song_table_model.h"

#include <QAbstractItemModelTester>
#include <QTableView>
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

} // namespace
} // namespace platter
