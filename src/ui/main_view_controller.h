#pragma once

// The main panel below the top panel: while the user configures the selected playlist, the
// outline of its albums; once the configuration is confirmed, the table of its shuffled songs;
// with no playlist selected, nothing. A search field above either narrows it as the user types.

#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QStackedLayout;
class QTableView;
class QTreeView;

namespace platter {

class AlbumOutlineModel;
class AppDelegate;
class MyAlbum;
class SongTableModel;
class SongRowDelegate;
struct Theme;

class MyMainViewController final : public QWidget {
    Q_OBJECT
public:
    explicit MyMainViewController(AppDelegate& app, QWidget* parent = nullptr);
    ~MyMainViewController() override;

    // Shows the outline or the song table as the configuring state says, read afresh.
    void refreshView();
    // The song table redraws its rows: the marker follows the playing song and play state.
    void reloadSongRows();
    // Every song row redraws, in the outline and the table: which songs have a file changed.
    void refreshSongFiles();
    // The song table shows `row`.
    void scrollSongTableToRow(std::int64_t row);
    // The marker's button: plays the selected playlist, or pauses the one playing.
    void playPause();
    // Moves the unit of the song table's current row to play next, and shows it there.
    void playNext();
    // The song table's columns as the window's layout keeps them: in the order they show, each
    // with its width and whether it is hidden.
    QStringList songColumnLayout() const;
    // Shows the columns as `kept` says; what it cannot read stays as it was.
    void setSongColumnLayout(const QStringList& kept);
    // A tick for each column of the song table (but the marker's), that shows or hides it.
    void fillColumnsMenu(QMenu& menu);
    // The song table's statistics redraw.
    void refreshStatistics();
    // The units' bands and rules in the window's colours.
    void setLook(const Theme& theme);

    QTreeView* outlineView() const { return outlineView_; }
    QTableView* tableView() const { return tableView_; }
    AlbumOutlineModel* outlineModel() const { return outlineModel_; }
    SongTableModel* songModel() const { return songModel_; }
    QAction* playNextAction() const { return playNext_; }
    QLineEdit* searchField() const { return search_; }
    // The page the panel shows: nullptr, the outline or the table.
    QWidget* shownView() const;

private:
    void headerClicked(int column);
    void showSortIndicator();
    // A click on a header of the song table: sorts by it, then the other way, then the play order.
    void songHeaderClicked(int column);
    void showSongSortIndicator();
    void search(const QString& text);
    // Where the user stood before a search began, to stand there again once it is cleared.
    void rememberPlace();
    void restorePlace();

    AppDelegate& ourDelegate_;
    AlbumOutlineModel* outlineModel_;
    SongTableModel* songModel_;
    QStackedLayout* pages_;
    QWidget* empty_;
    QTreeView* outlineView_;
    QTableView* tableView_;
    SongRowDelegate* rowDelegate_;
    QAction* playNext_;
    QLineEdit* search_;
    // The playlist the panel last showed: another one clears the search.
    std::optional<std::size_t> shownPlaylist_;
    struct OutlinePlace {
        const MyAlbum* album = nullptr;
        int disc = -1, song = -1, column = 0;
    };
    OutlinePlace outlineBefore_;
    std::vector<const MyAlbum*> expandedBefore_;
    std::int64_t songBefore_ = -1;
};

} // namespace platter
