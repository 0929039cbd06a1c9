#pragma once

// The playlists list along the window's left edge: every playlist by name, inside its folder;
// selecting a row selects that playlist for configuration.

#include <QAbstractItemModel>
#include <QIcon>
#include <QSet>
#include <QStringList>
#include <QWidget>
#include <cstddef>
#include <optional>
#include <vector>

class QMenu;
class QTreeView;

namespace platter {

class AppDelegate;
class PlaylistRow;
struct Theme;

// The controller's playlists as a tree: a row's internal ID is the playlist's index in
// `AppDelegate::allPlaylists()`.
class PlaylistsModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit PlaylistsModel(const AppDelegate& app, QObject* parent = nullptr);
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Takes in the controller's playlists as they are now.
    void reload();
    void setIcons(const QIcon& folder, const QIcon& playlist);

    // The row of the playlist at `number` of the controller's list, and the other way.
    QModelIndex indexOf(std::size_t number) const;
    std::optional<std::size_t> numberOf(const QModelIndex& index) const;

private:
    const AppDelegate& app_;
    // As the list was at the last reload: each playlist's folder, its row there, and the
    // playlists of each folder and of the top level.
    std::vector<std::optional<std::size_t>> folder_;
    std::vector<int> row_;
    std::vector<std::vector<std::size_t>> inside_;
    std::vector<std::size_t> top_;
    QIcon folderIcon_, playlistIcon_;
};

class MyPlaylistsViewController final : public QWidget {
    Q_OBJECT
public:
    // The sidebar's width unless the user or a narrow window makes it another.
    static constexpr int width = 180;

    explicit MyPlaylistsViewController(AppDelegate& app, QWidget* parent = nullptr);
    // The list reloads its rows.
    void refreshTable();
    void setLook(const Theme& theme);

    // The persistent IDs of the folders the user folded; any other folder shows open. The
    // window keeps them from run to run.
    QStringList foldedFolders() const;
    void setFoldedFolders(const QStringList& ids);

    // The context menu of the playlist at `number` of the controller's list: how its shuffles
    // draw, its own mode or the preferences'. The caller owns it.
    QMenu* shuffleMenuFor(std::size_t number);

    QTreeView* myTableView() const { return myTableView_; }
    PlaylistsModel* model() const { return model_; }

private:
    void tableViewSelectionDidChange();
    void applyFolds();
    QString persistentIDAt(const QModelIndex& index) const;

    AppDelegate& ourDelegate_;
    PlaylistsModel* model_;
    QTreeView* myTableView_;
    PlaylistRow* rows_;
    QSet<QString> folded_;
};

} // namespace platter
