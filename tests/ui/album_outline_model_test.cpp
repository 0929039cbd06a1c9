#include "core/shuffle/album_selection.h"
#include "panel_fixture.h"
#include "support/library_fixture.h"
#include "ui/album_outline_model.h"
#include "ui/main_view_controller.h"

#include <QAbstractItemModelTester>
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

TEST(OutlineText, ANameWithLineBreaksReadsOnOneLineAndWholeInItsTooltip) {
    testing::AppHarness h;
    h.useLibrary(testing::libraryValue({{1, "Overture", "Live at the Hall\n[Second Night]", "Ana\r\nand Bo"}},
                                       {{"P", "P", {1}}}));
    auto& app = h.launch();
    app.changePlaylistWithRow(0);
    MyMainViewController panel(app);
    panel.refreshView();
    const auto album = panel.outlineModel()->index(0, Col::Title);
    EXPECT_EQ(album.data().toString(), "Live at the Hall [Second Night]");
    EXPECT_EQ(album.data(Qt::ToolTipRole).toString(), "Live at the Hall\n[Second Night]");
    EXPECT_EQ(album.siblingAtColumn(Col::Artist).data().toString(), "Ana and Bo");

    panel.resize(300, 200); // the name does not fit: elided on its one line
    panel.show();
    auto* view = panel.outlineView();
    EXPECT_LT(view->visualRect(album).height(), 2 * view->fontMetrics().height());
}

} // namespace
} // namespace platter
