#include "ui/song_table_model.h"

#include "core/app/app_delegate.h"
#include "core/text/text_search.h"
#include "ui/qt_text.h"
#include "ui/song_file_look.h"

#include <algorithm>

namespace platter {

SongTableModel::SongTableModel(const AppDelegate& app, QIcon playImage, QIcon pauseImage, QObject* parent)
    : QAbstractTableModel(parent), app_(app), playImage_(std::move(playImage)),
      pauseImage_(std::move(pauseImage)) {}

const MyPlaylist* SongTableModel::playlist() const {
    return app_.playlistAt(app_.playlistNumber());
}

int SongTableModel::rowCount(const QModelIndex& parent) const {
    const auto* list = playlist();
    if (parent.isValid() || !list) return 0;
    return static_cast<int>(shown_ ? shown_->size() : list->shuffledSongs.size());
}

std::int64_t SongTableModel::orderIndex(int row) const {
    const auto* list = playlist();
    if (!list || row < 0 || row >= rowCount()) return -1;
    const auto index = shown_ ? (*shown_)[static_cast<std::size_t>(row)] : row;
    return static_cast<std::size_t>(index) < list->shuffledSongs.size() ? index : -1;
}

int SongTableModel::rowOf(std::int64_t index) const {
    const auto row = rowFrom(index);
    return row >= 0 && orderIndex(row) == index ? row : -1;
}

int SongTableModel::rowFrom(std::int64_t index) const {
    const auto* list = playlist();
    if (!list || index < 0) return -1;
    if (!shown_)
        return index < static_cast<std::int64_t>(list->shuffledSongs.size()) ? static_cast<int>(index) : -1;
    const auto at = std::lower_bound(shown_->begin(), shown_->end(), index);
    return at == shown_->end() ? -1 : static_cast<int>(at - shown_->begin());
}

int SongTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

int SongTableModel::markerRow() const {
    const auto* list = playlist();
    return list ? rowOf(list->playingNum) : -1;
}

QString SongTableModel::trackNumText(std::int64_t trackNumber, std::optional<std::int64_t> trackCount) {
    return trackCount ? QStringLiteral("%1/%2").arg(trackNumber).arg(*trackCount)
                      : QString::number(trackNumber);
}

QString SongTableModel::unitText(std::int64_t index) const {
    const auto* list = playlist();
    const auto place = list ? list->unitAt(index) : std::nullopt;
    if (!place) return {};
    const auto& unit = *list->units[place->unit];
    QString kind;
    switch (unit.kind()) {
    case UnitKind::Album:
        kind = tr("Whole album");
        break;
    case UnitKind::Disc:
        kind = tr("Disc %1 of %2").arg(unit.disc()).arg(qText(unit.songs().front()->album()));
        break;
    case UnitKind::Song:
        kind = tr("Song");
        break;
    }
    return kind + QLatin1Char('\n') + tr("unit %1 of %2").arg(place->unit + 1).arg(list->units.size());
}

void SongTableModel::setBands(const Bands& bands) {
    bands_ = bands;
    refreshRows();
}

QVariant SongTableModel::data(const QModelIndex& index, int role) const {
    const auto* list = playlist();
    if (!list || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const auto at = orderIndex(index.row());
    if (at < 0) return {};
    const auto& song = *list->shuffledSongs[static_cast<std::size_t>(at)];
    if (role == Qt::BackgroundRole || role == UnitStartRole) {
        const auto place = list->unitAt(at);
        if (!place) return {};
        // The rule stands above a unit's first row shown, which a search may have hidden.
        if (role == UnitStartRole)
            return place->unit > 0 && index.row() > 0 && orderIndex(index.row() - 1) < place->first;
        const auto marker = list->playingNum;
        if (marker >= place->first && marker < place->end && bands_.marked.isValid()) return bands_.marked;
        const auto& band = place->unit % 2 ? bands_.odd : bands_.even;
        return band.isValid() ? QVariant(band) : QVariant();
    }
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case Name:
            return qText(song.name());
        case Album:
            return qText(song.album());
        case Artist:
            return qText(song.artist());
        case TrackNum:
            return trackNumText(song.trackNumber(), song.dict().node.integerFor("Track Count"));
        default:
            return {};
        }
    }
    if (role == Qt::DecorationRole && index.column() == Audio && index.row() == markerRow()) {
        const bool thisPlays = app_.playinglistNumber() && app_.playinglistNumber() == app_.playlistNumber();
        return thisPlays ? playImage_ : pauseImage_;
    }
    if (role == Qt::ToolTipRole && index.column() == Audio && index.row() == markerRow())
        return app_.playinglistNumber() ? tr("Pause") : tr("Play from here");
    if (role == Qt::ToolTipRole) {
        auto tip = unitText(at);
        if (const auto file = songFileToolTip(song); file.isValid())
            tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + file.toString();
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    if (role == Qt::ForegroundRole) return songFileForeground(song);
    if (role == Qt::TextAlignmentRole && index.column() == TrackNum)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant SongTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case Name:
        return tr("Name");
    case Album:
        return tr("Album");
    case Artist:
        return tr("Artist");
    case TrackNum:
        return tr("Track");
    default:
        return {};
    }
}

void SongTableModel::reload(const QString& search) {
    beginResetModel();
    query_ = search;
    searchTexts_.clear();
    applySearch();
    endResetModel();
}

void SongTableModel::setSearch(const QString& query) {
    if (query == query_) return;
    // A new layout rather than a reset: the selection and the current row stay where they show.
    emit layoutAboutToBeChanged();
    const auto old = persistentIndexList();
    std::vector<std::int64_t> songs;
    songs.reserve(static_cast<std::size_t>(old.size()));
    for (const auto& i : old)
        songs.push_back(orderIndex(i.row()));
    query_ = query;
    applySearch();
    QModelIndexList now;
    now.reserve(old.size());
    for (qsizetype i = 0; i < old.size(); ++i) {
        const auto row = rowOf(songs[static_cast<std::size_t>(i)]);
        now.push_back(row < 0 ? QModelIndex() : index(row, old[i].column()));
    }
    changePersistentIndexList(old, now);
    emit layoutChanged();
}

void SongTableModel::applySearch() {
    const auto* list = playlist();
    const TextSearch search(app_.rules(), query_.toStdString());
    if (!list || search.empty()) {
        shown_.reset();
        return;
    }
    prepareSearch();
    const auto& songs = list->shuffledSongs;
    shown_.emplace();
    for (std::size_t i = 0; i < songs.size() && i < searchTexts_.size(); ++i)
        if (search.matches(searchTexts_[i])) shown_->push_back(static_cast<std::int64_t>(i));
}

void SongTableModel::prepareSearch() {
    const auto* list = playlist();
    if (!list) return;
    const auto& songs = list->shuffledSongs;
    if (searchTexts_.size() != songs.size()) {
        searchTexts_.assign(songs.size(), {});
        // A unit's songs mostly share their album and artist: each is folded once.
        std::string_view album, artist;
        std::string albumText, artistText;
        for (std::size_t i = 0; i < songs.size(); ++i) {
            const auto& song = *songs[i];
            if (i == 0 || song.album() != album) {
                album = song.album();
                albumText.clear();
                addSearchField(app_.rules(), albumText, album);
            }
            if (i == 0 || song.artist() != artist) {
                artist = song.artist();
                artistText.clear();
                addSearchField(app_.rules(), artistText, artist);
            }
            auto& text = searchTexts_[i];
            addSearchField(app_.rules(), text, song.name());
            text += albumText;
            text += artistText;
        }
    }
}

void SongTableModel::refreshRows() {
    if (const auto rows = rowCount(); rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, ColumnCount - 1));
}

} // namespace platter
