#include "ui/playlists_view_controller.h"

#include "core/app/app_delegate.h"
#include "core/model/added_tracks.h"
#include "ui/theme.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

namespace platter {

namespace {

// The list always shows the playlist the user chose: a click on no row, or Ctrl+click on the
// selected one, keeps it rather than blanking the window.
class PlaylistsList final : public QTreeView {
public:
    using QTreeView::QTreeView;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        if (!index.isValid()) return QItemSelectionModel::NoUpdate;
        const auto command = QTreeView::selectionCommand(index, event);
        if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
            return QItemSelectionModel::ClearAndSelect;
        return command;
    }
};

} // namespace

// The chosen row's rounded box is drawn here rather than by the style sheet: the sheet would
// paint it over the folder arrows' strip too.
class PlaylistRow final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QColor selection;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (option.state & QStyle::State_Selected) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(selection);
            // Inside the row's right margin, as the style sheet sets it.
            painter->drawRoundedRect(QRectF(option.rect).adjusted(0, 0, -6, 0), 5, 5);
            painter->restore();
        }
        QStyledItemDelegate::paint(painter, option, index);
    }
};

PlaylistsModel::PlaylistsModel(const AppDelegate& app, QObject* parent)
    : QAbstractItemModel(parent), app_(app) {
    reload();
}

void PlaylistsModel::reload() {
    beginResetModel();
    const auto& playlists = app_.allPlaylists();
    folder_.assign(playlists.size(), std::nullopt);
    row_.assign(playlists.size(), 0);
    inside_.assign(playlists.size(), {});
    top_.clear();
    for (std::size_t n = 0; n < playlists.size(); ++n) {
        // The list is in tree order: a folder comes before its playlists.
        const auto folder = playlists[n]->folderIndex();
        auto& rows = folder && *folder < n ? inside_[*folder] : top_;
        if (folder && *folder < n) folder_[n] = folder;
        row_[n] = static_cast<int>(rows.size());
        rows.push_back(n);
    }
    endResetModel();
}

void PlaylistsModel::setIcons(const QIcon& folder, const QIcon& playlist) {
    folderIcon_ = folder;
    playlistIcon_ = playlist;
    if (!top_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
    for (std::size_t n = 0; n < inside_.size(); ++n)
        if (!inside_[n].empty())
            emit dataChanged(indexOf(inside_[n].front()), indexOf(inside_[n].back()), {Qt::DecorationRole});
}

QModelIndex PlaylistsModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || (parent.isValid() && parent.model() != this)) return {};
    const auto folder = numberOf(parent);
    if (parent.isValid() && !folder) return {};
    const auto& rows = folder ? inside_[*folder] : top_;
    if (static_cast<std::size_t>(row) >= rows.size()) return {};
    return createIndex(row, 0, static_cast<quintptr>(rows[static_cast<std::size_t>(row)]));
}

QModelIndex PlaylistsModel::parent(const QModelIndex& child) const {
    const auto number = numberOf(child);
    if (!number || !folder_[*number]) return {};
    return createIndex(row_[*folder_[*number]], 0, static_cast<quintptr>(*folder_[*number]));
}

int PlaylistsModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return static_cast<int>(top_.size());
    const auto number = numberOf(parent);
    return number ? static_cast<int>(inside_[*number].size()) : 0;
}

int PlaylistsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() && !numberOf(parent) ? 0 : 1;
}

QVariant PlaylistsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const auto number = numberOf(index);
    if (!number || *number >= app_.allPlaylists().size()) return {};
    const auto& playlist = *app_.allPlaylists()[*number];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (playlist.persistentID() == addedPersistentID) return tr("Added on This Computer");
        return QString::fromStdString(playlist.name());
    case Qt::DecorationRole:
        return playlist.isFolder() ? folderIcon_ : playlistIcon_;
    default:
        return {};
    }
}

QModelIndex PlaylistsModel::indexOf(std::size_t number) const {
    if (number >= row_.size()) return {};
    return createIndex(row_[number], 0, static_cast<quintptr>(number));
}

std::optional<std::size_t> PlaylistsModel::numberOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || index.internalId() >= row_.size()) return std::nullopt;
    return static_cast<std::size_t>(index.internalId());
}

MyPlaylistsViewController::MyPlaylistsViewController(AppDelegate& app, QWidget* parent)
    : QWidget(parent), ourDelegate_(app), model_(new PlaylistsModel(app, this)),
      myTableView_(new PlaylistsList(this)), rows_(new PlaylistRow(this)) {
    setObjectName(QStringLiteral("playlists"));
    auto* title = new QLabel(tr("PLAYLISTS"), this);
    title->setObjectName(QStringLiteral("sidebarTitle"));
    title->setContentsMargins(12, 10, 8, 4);
    myTableView_->setModel(model_);
    myTableView_->setItemDelegate(rows_);
    myTableView_->setHeaderHidden(true);
    myTableView_->setFrameShape(QFrame::NoFrame);
    myTableView_->setUniformRowHeights(true);
    myTableView_->setIndentation(14);
    myTableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    myTableView_->setSelectionMode(QAbstractItemView::SingleSelection);
    myTableView_->setTextElideMode(Qt::ElideRight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title);
    layout->addWidget(myTableView_);
    setLook(Theme::of(palette()));
    connect(myTableView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MyPlaylistsViewController::tableViewSelectionDidChange);
    connect(myTableView_, &QTreeView::collapsed, this, [this](const QModelIndex& folder) {
        folded_.insert(persistentIDAt(folder));
        // The keys go on from the folder rather than from a row it now hides; the choice stays.
        for (auto at = myTableView_->currentIndex().parent(); at.isValid(); at = at.parent())
            if (at == folder)
                myTableView_->selectionModel()->setCurrentIndex(folder, QItemSelectionModel::NoUpdate);
    });
    connect(myTableView_, &QTreeView::expanded, this,
            [this](const QModelIndex& folder) { folded_.remove(persistentIDAt(folder)); });
    myTableView_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(myTableView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const auto number = model_->numberOf(myTableView_->indexAt(at));
        if (!number) return;
        auto* menu = shuffleMenuFor(*number);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(myTableView_->viewport()->mapToGlobal(at));
    });
    applyFolds();
}

QMenu* MyPlaylistsViewController::shuffleMenuFor(std::size_t number) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("playlistMenu"));
    const auto* playlist = ourDelegate_.playlistAt(number);
    if (!playlist) return menu;
    const auto id = playlist->persistentID();
    menu->addSection(tr("Shuffle"));
    auto* group = new QActionGroup(menu);
    const auto own = ourDelegate_.ownShuffleMode(*playlist);
    const auto choice = [&](const QString& text, const char* name, std::optional<ShuffleMode> mode) {
        auto* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        action->setChecked(own == mode);
        group->addAction(action);
        // By ID: the list may have been read again before the user picks.
        connect(action, &QAction::triggered, this, [this, id, mode] {
            for (const auto& p : ourDelegate_.allPlaylists())
                if (p->persistentID() == id) ourDelegate_.setOwnShuffleMode(*p, mode);
        });
    };
    choice(tr("As in Preferences"), "shuffleDefault", std::nullopt);
    choice(tr("Uniform"), "shuffleUniform", ShuffleMode::Uniform);
    choice(tr("Rediscover: Long Unheard First"), "shuffleRediscover", ShuffleMode::Rediscover);
    return menu;
}

void MyPlaylistsViewController::setLook(const Theme& theme) {
    model_->setIcons(theme.folderGlyph(), theme.playlistGlyph());
    rows_->selection = theme.colours.at(QStringLiteral("accent"));
    myTableView_->viewport()->update();
}

void MyPlaylistsViewController::refreshTable() {
    model_->reload();
    applyFolds();
    // The list shows the controller's selection; it is not a new choice of the user's.
    if (const auto row = ourDelegate_.playlistNumber()) {
        const auto index = model_->indexOf(*row);
        const QSignalBlocker quiet(myTableView_->selectionModel());
        myTableView_->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
        myTableView_->setCurrentIndex(index);
    }
}

QStringList MyPlaylistsViewController::foldedFolders() const {
    QStringList ids(folded_.begin(), folded_.end());
    ids.sort();
    return ids;
}

void MyPlaylistsViewController::setFoldedFolders(const QStringList& ids) {
    folded_ = QSet<QString>(ids.begin(), ids.end());
    applyFolds();
}

void MyPlaylistsViewController::applyFolds() {
    // A folder the user never folded shows its playlists.
    const auto& playlists = ourDelegate_.allPlaylists();
    for (std::size_t n = 0; n < playlists.size(); ++n) {
        if (model_->rowCount(model_->indexOf(n)) == 0) continue;
        const auto id = QString::fromStdString(playlists[n]->persistentID());
        myTableView_->setExpanded(model_->indexOf(n), !folded_.contains(id));
    }
}

QString MyPlaylistsViewController::persistentIDAt(const QModelIndex& index) const {
    const auto number = model_->numberOf(index);
    if (!number || *number >= ourDelegate_.allPlaylists().size()) return {};
    return QString::fromStdString(ourDelegate_.allPlaylists()[*number]->persistentID());
}

void MyPlaylistsViewController::tableViewSelectionDidChange() {
    const auto rows = myTableView_->selectionModel()->selectedRows();
    const auto number = rows.isEmpty() ? std::nullopt : model_->numberOf(rows.front());
    ourDelegate_.changePlaylistWithRow(number ? static_cast<std::int64_t>(*number) : -1);
}

} // namespace platter
