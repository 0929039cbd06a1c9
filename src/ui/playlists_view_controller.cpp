#include "ui/playlists_view_controller.h"

#include "core/app/app_delegate.h"

#include <QLabel>
#include <QListView>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace platter {

namespace {

// The list always shows the playlist the user chose: a click on no row, or Ctrl+click on the
// selected one, keeps it rather than blanking the window.
class PlaylistsList final : public QListView {
public:
    using QListView::QListView;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        if (!index.isValid()) return QItemSelectionModel::NoUpdate;
        const auto command = QListView::selectionCommand(index, event);
        if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
            return QItemSelectionModel::ClearAndSelect;
        return command;
    }
};

} // namespace

PlaylistsModel::PlaylistsModel(const AppDelegate& app, QObject* parent)
    : QAbstractListModel(parent), app_(app) {}

int PlaylistsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(app_.allPlaylists().size());
}

QVariant PlaylistsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    return QString::fromStdString(app_.allPlaylists()[static_cast<std::size_t>(index.row())]->name());
}

void PlaylistsModel::reload() {
    beginResetModel();
    endResetModel();
}

MyPlaylistsViewController::MyPlaylistsViewController(AppDelegate& app, QWidget* parent)
    : QWidget(parent), ourDelegate_(app), model_(new PlaylistsModel(app, this)),
      myTableView_(new PlaylistsList(this)) {
    setObjectName(QStringLiteral("playlists"));
    auto* title = new QLabel(tr("PLAYLISTS"), this);
    title->setObjectName(QStringLiteral("sidebarTitle"));
    title->setContentsMargins(12, 10, 8, 4);
    myTableView_->setModel(model_);
    myTableView_->setFrameShape(QFrame::NoFrame);
    myTableView_->setUniformItemSizes(true);
    myTableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    myTableView_->setSelectionMode(QAbstractItemView::SingleSelection);
    myTableView_->setTextElideMode(Qt::ElideRight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title);
    layout->addWidget(myTableView_);
    connect(myTableView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MyPlaylistsViewController::tableViewSelectionDidChange);
}

void MyPlaylistsViewController::refreshTable() {
    model_->reload();
    // The list shows the controller's selection; it is not a new choice of the user's.
    if (const auto row = ourDelegate_.playlistNumber()) {
        const QSignalBlocker quiet(myTableView_->selectionModel());
        myTableView_->selectionModel()->select(model_->index(static_cast<int>(*row)),
                                               QItemSelectionModel::ClearAndSelect);
        myTableView_->setCurrentIndex(model_->index(static_cast<int>(*row)));
    }
}

void MyPlaylistsViewController::tableViewSelectionDidChange() {
    const auto rows = myTableView_->selectionModel()->selectedRows();
    ourDelegate_.changePlaylistWithRow(rows.isEmpty() ? -1 : rows.front().row());
}

} // namespace platter
