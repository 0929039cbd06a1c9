#pragma once

// The playlists list along the window's left edge: every playlist by name; selecting a row
// selects that playlist for configuration.

#include <QAbstractListModel>
#include <QWidget>

class QListView;

namespace platter {

class AppDelegate;

class PlaylistsModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PlaylistsModel(const AppDelegate& app, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    void reload();

private:
    const AppDelegate& app_;
};

class MyPlaylistsViewController final : public QWidget {
    Q_OBJECT
public:
    // The sidebar's width unless the user or a narrow window makes it another.
    static constexpr int width = 180;

    explicit MyPlaylistsViewController(AppDelegate& app, QWidget* parent = nullptr);
    // The list reloads its rows.
    void refreshTable();

    QListView* myTableView() const { return myTableView_; }
    PlaylistsModel* model() const { return model_; }

private:
    void tableViewSelectionDidChange();

    AppDelegate& ourDelegate_;
    PlaylistsModel* model_;
    QListView* myTableView_;
};

} // namespace platter
