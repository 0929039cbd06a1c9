#include "core/model/file_url.h"
#include "core/shuffle/album_selection.h"
#include "platform/media/qt_cover_store.h"
#include "panel_fixture.h"
#include "support/library_fixture.h"
#include "ui/album_outline_model.h"
#include "ui/main_view_controller.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QImage>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTreeView>

namespace platter {
namespace {

using Col = AlbumOutlineModel::Column;

class Outline : public testing::PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        model = std::make_unique<AlbumOutlineModel>(*app);
        tester = std::make_unique<QAbstractItemModelTester>(
            model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    QModelIndex albumNamed(std::string_view name) const {
        for (int r = 0; r < model->rowCount(); ++r)
            if (model->index(r, Col::Title).data().toString() ==
                QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())))
                return model->index(r, Col::Title);
        return {};
    }
    QVariant box(const QModelIndex& row, Col column) const {
        return row.siblingAtColumn(column).data(Qt::CheckStateRole);
    }
    bool click(const QModelIndex& row, Col column) {
        const auto cell = row.siblingAtColumn(column);
        const bool on = cell.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        return model->setData(cell, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }

    std::unique_ptr<AlbumOutlineModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(Outline, HasNoRowsWithoutASelectedPlaylist) {
    EXPECT_EQ(model->rowCount(), 0);
    app->changePlaylistWithRow(rowOf("Mix"));
    model->reload();
    EXPECT_EQ(model->rowCount(), 3);
    app->changePlaylistWithRow(-1);
    model->reload();
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(Outline, ShowsAlbumsDiscsAndSongsWithTheirTexts) {
    app->changePlaylistWithRow(rowOf("Mix"));
    model->reload();
    const auto suite = albumNamed("Suite");
    ASSERT_TRUE(suite.isValid());
    EXPECT_EQ(suite.siblingAtColumn(Col::Artist).data().toString(), "Ana");
    EXPECT_EQ(albumNamed("Hits").siblingAtColumn(Col::Artist).data().toString(), "Compilation Album");

    ASSERT_EQ(model->rowCount(suite), 2);
    const auto disc2 = model->index(1, 0, suite);
    EXPECT_EQ(disc2.data().toString(), "Disc 2");
    EXPECT_FALSE(disc2.siblingAtColumn(Col::Artist).data().isValid());
    const auto fugue = model->index(1, 0, model->index(0, 0, suite));
    EXPECT_EQ(fugue.data().toString(), "2: Fugue");
    EXPECT_EQ(fugue.siblingAtColumn(Col::Artist).data().toString(), "Ana");
    EXPECT_FALSE(model->hasChildren(fugue));
    EXPECT_EQ(model->index(0, 0, model->index(0, 0, albumNamed("Single"))).data().toString(), "0: Loose")
        << "a missing track number reads 0";
}

TEST_F(Outline, CheckBoxesFollowTheAlbumsShape) {
    app->changePlaylistWithRow(rowOf("Mix"));
    model->reload();
    const auto suite = albumNamed("Suite");
    const auto hits = albumNamed("Hits");
    const auto disc1 = model->index(0, 0, suite);
    const auto song = model->index(0, 0, disc1);

    EXPECT_FALSE(box(hits, Col::SeparateDiscs).isValid()) << "one disc: no disc box";
    EXPECT_EQ(box(hits, Col::SeparateSongs), Qt::Unchecked);
    EXPECT_FALSE(box(disc1, Col::SeparateSongs).isValid()) << "the album is not split into discs";
    EXPECT_FALSE(box(song, Col::SeparateDiscs).isValid());
    EXPECT_FALSE(box(song, Col::SeparateSongs).isValid());

    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    ASSERT_TRUE(click(suite, Col::SeparateDiscs));
    EXPECT_EQ(box(suite, Col::SeparateDiscs), Qt::Checked);
    EXPECT_EQ(box(disc1, Col::SeparateSongs), Qt::Unchecked) << "disc rows offer their box now";
    EXPECT_GE(changed.size(), 2) << "the album row and its disc rows are redrawn";

    ASSERT_TRUE(click(disc1, Col::SeparateSongs));
    EXPECT_EQ(box(disc1, Col::SeparateSongs), Qt::Checked);
    EXPECT_EQ(model->albumAt(suite)->setting(), AlbumSetting::discs({{1, true}, {2, false}}));

    ASSERT_TRUE(click(suite, Col::SeparateSongs)) << "ticking the other box clears the first";
    EXPECT_EQ(box(suite, Col::SeparateDiscs), Qt::Unchecked);
    EXPECT_EQ(box(suite, Col::SeparateSongs), Qt::Checked);
    EXPECT_FALSE(box(disc1, Col::SeparateSongs).isValid());
    ASSERT_TRUE(click(suite, Col::SeparateSongs));
    EXPECT_TRUE(model->albumAt(suite)->setting().isWhole()) << "clearing the ticked box: the whole album";

    EXPECT_FALSE(model->setData(song.siblingAtColumn(Col::SeparateSongs), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(h.settings.saves, 0) << "nothing is stored while the user clicks";
}

TEST_F(Outline, HeaderSortKeepsExpandedAlbumsExpanded) {
    app->changePlaylistWithRow(rowOf("Mix"));
    MyMainViewController panel(*app);
    QAbstractItemModelTester panelTester(panel.outlineModel(),
                                         QAbstractItemModelTester::FailureReportingMode::Fatal);
    panel.refreshView();
    auto* view = panel.outlineView();
    auto& outline = *panel.outlineModel();
    const auto titles = [&] {
        QStringList t;
        for (int r = 0; r < outline.rowCount(); ++r)
            t << outline.index(r, 0).data().toString();
        return t.join(',').toStdString();
    };
    EXPECT_EQ(titles(), "Hits,Single,Suite");
    EXPECT_EQ(view->header()->sortIndicatorSection(), Col::Title);
    view->expand(outline.index(2, 0));

    view->header()->sectionClicked(Col::Artist);
    EXPECT_EQ(titles(), "Hits,Suite,Single") << "by artist: the compilation's empty one, Ana, Di";
    EXPECT_TRUE(view->isExpanded(outline.index(1, 0))) << "Suite moved with its expansion";
    EXPECT_FALSE(view->isExpanded(outline.index(2, 0)));
    EXPECT_EQ(view->header()->sortIndicatorSection(), Col::Artist);
    EXPECT_EQ(view->header()->sortIndicatorOrder(), Qt::AscendingOrder);

    view->header()->sectionClicked(Col::Artist); // no descending order from the header
    EXPECT_EQ(titles(), "Hits,Suite,Single");
    EXPECT_EQ(view->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    view->header()->sectionClicked(Col::SeparateSongs);
    EXPECT_EQ(view->header()->sortIndicatorSection(), Col::Artist) << "check-box headers do nothing";
    EXPECT_FALSE(mix().sortAlbum);
}

TEST_F(Outline, AlbumsShowTheirYearsAndLengthsAndEachCoverChangesOnlyItsRow) {
    // "Years": two songs of 1998 and one of 2001 on two discs; "Plain": no year, no artwork.
    auto library = testing::libraryValue({{1, "a", "Years", "Ana", {}, 1, 1, 61000, {{"Year", 1998}}},
                                 {2, "b", "Years", "Ana", {}, 1, 2, 3600000, {{"Year", 2001}}},
                                 {3, "c", "Years", "Ana", {}, 2, 1, 59000, {{"Year", 1998}}},
                                 {4, "d", "Plain", "Bo", {}, {}, 1, 30000}},
                                {{"L", "L", {1, 2, 3, 4}}});
    for (auto& [id, track] : *plist::find(*library.get<plist::Dict>(), "Tracks")->get<plist::Dict>())
        plist::set(*track.get<plist::Dict>(), "Location", fileUrlFromPath(h.dir.write(id + ".mp3", "audio").string()));
    QImage picture(300, 300, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    picture.save(&out, "PNG");
    h.artwork.images["1.mp3"] = png.toStdString();
    QtCoverStore store((h.dir.path() / "covers").string());
    h.covers = &store;
    h.useLibrary(library);
    tester.reset();
    model.reset();
    app = &h.launch();
    model = std::make_unique<AlbumOutlineModel>(*app);
    tester = std::make_unique<QAbstractItemModelTester>(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    app->changePlaylistWithRow(rowOf("L"));
    model->reload();

    const auto years = albumNamed("Years");
    const auto plain = albumNamed("Plain");
    EXPECT_EQ(years.data(AlbumOutlineModel::DetailRole).toString(), "1998–2001 · 1:02:00");
    EXPECT_EQ(plain.data(AlbumOutlineModel::DetailRole).toString(), "0:30") << "no year: the length alone";
    EXPECT_EQ(model->index(0, 0, years).data(AlbumOutlineModel::DetailRole).toString(), "1:01:01");
    EXPECT_EQ(model->index(1, 0, years).data(AlbumOutlineModel::DetailRole).toString(), "0:59");
    EXPECT_FALSE(model->index(0, 0, model->index(0, 0, years)).data(AlbumOutlineModel::DetailRole).isValid());

    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    EXPECT_FALSE(years.data(Qt::DecorationRole).isValid()) << "asked for, not here yet";
    EXPECT_FALSE(plain.data(Qt::DecorationRole).isValid());
    while (!h.tasks.background.empty() || !h.tasks.main.empty()) h.finishTasks();
    ASSERT_EQ(changed.size(), 1) << "the album without artwork keeps its placeholder";
    EXPECT_EQ(changed[0][0].toModelIndex(), years);
    EXPECT_EQ(changed[0][1].toModelIndex(), years);
    EXPECT_EQ(changed[0][2].value<QList<int>>(), QList<int>{Qt::DecorationRole});
    EXPECT_EQ(reset.size(), 0);
    const auto cover = years.data(Qt::DecorationRole).value<QPixmap>();
    EXPECT_EQ(cover.deviceIndependentSize().toSize(), QSize(AlbumOutlineModel::coverSize, AlbumOutlineModel::coverSize));
}

TEST(OutlineText, ANameWithLineBreaksReadsOnOneLineAndWholeInItsTooltip) {
    testing::AppHarness h;
    h.useLibrary(testing::libraryValue({{1, "Overture", "Live at the Hall\n[Second Night]", "Ana\r\nand Bo"},
                                        {2, "Finale", "Plain", "Cy"}},
                                       {{"P", "P", {1, 2}}}));
    auto& app = h.launch();
    app.changePlaylistWithRow(0);
    MyMainViewController panel(app);
    panel.refreshView();
    const auto album = panel.outlineModel()->index(0, Col::Title);
    const auto plain = panel.outlineModel()->index(1, Col::Title);
    EXPECT_EQ(album.data().toString(), "Live at the Hall [Second Night]");
    EXPECT_EQ(album.data(Qt::ToolTipRole).toString(), "Live at the Hall\n[Second Night]");
    EXPECT_EQ(album.siblingAtColumn(Col::Artist).data().toString(), "Ana and Bo");

    panel.resize(300, 200); // the name does not fit: elided on its one line
    panel.show();
    auto* view = panel.outlineView();
    EXPECT_EQ(view->visualRect(album).height(), view->visualRect(plain).height());
}

} // namespace
} // namespace platter
