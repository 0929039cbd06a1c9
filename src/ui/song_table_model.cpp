#include "ui/song_table_model.h"

#include "core/app/app_delegate.h"
#include "core/text/text_search.h"
#include "ui/qt_text.h"
#include "ui/song_file_look.h"

#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <array>
#include <limits>
#include <numeric>

namespace platter {

namespace {

constexpr std::array<const char*, SongTableModel::ColumnCount> columnKeys{
    "audio", "name", "album", "artist", "trackNum", "time", "year", "genre", "plays", "lastPlayed", "rating",
    "dateAdded"};

bool isStatistic(int column) {
    return column == SongTableModel::Plays || column == SongTableModel::LastPlayed ||
           column == SongTableModel::Rating || column == SongTableModel::DateAdded;
}

QString dateText(std::optional<std::int64_t> utcSeconds) {
    if (!utcSeconds) return {};
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(*utcSeconds).date(), QLocale::ShortFormat);
}

} // namespace

QString SongTableModel::columnKey(int column) {
    return column >= 0 && column < ColumnCount ? QString::fromLatin1(columnKeys[static_cast<std::size_t>(column)])
                                               : QString();
}

int SongTableModel::columnOfKey(const QString& key) {
    for (std::size_t c = 0; c < columnKeys.size(); ++c)
        if (key == QLatin1String(columnKeys[c])) return static_cast<int>(c);
    return -1;
}

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
    const auto* list = playlist();
    if (!list || index < 0 || index >= static_cast<std::int64_t>(list->shuffledSongs.size())) return -1;
    if (!shown_) return static_cast<int>(index);
    return static_cast<std::size_t>(index) < rowOfIndex_.size() ? rowOfIndex_[static_cast<std::size_t>(index)] : -1;
}

int SongTableModel::rowFrom(std::int64_t index) const {
    const auto* list = playlist();
    if (!list || index < 0) return -1;
    for (auto i = index; i < static_cast<std::int64_t>(list->shuffledSongs.size()); ++i)
        if (const auto row = rowOf(i); row >= 0) return row;
    return -1;
}

const MySong* SongTableModel::songAt(int row) const {
    const auto at = orderIndex(row);
    return at < 0 ? nullptr : playlist()->shuffledSongs[static_cast<std::size_t>(at)].get();
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

QString SongTableModel::timeText(double seconds) {
    const auto total = static_cast<std::int64_t>(std::max(0.0, seconds) + 0.5);
    const auto pad = [](std::int64_t n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    if (total >= 3600) return QStringLiteral("%1:%2:%3").arg(total / 3600).arg(pad(total / 60 % 60)).arg(pad(total % 60));
    return QStringLiteral("%1:%2").arg(total / 60).arg(pad(total % 60));
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
        // The rule stands above a unit's first row shown, which a search may have hidden; sorted
        // rows are no blocks.
        if (role == UnitStartRole)
            return sortColumn_ < 0 && place->unit > 0 && index.row() > 0 &&
                   orderIndex(index.row() - 1) < place->first;
        const auto marker = list->playingNum;
        if (marker >= place->first && marker < place->end && bands_.marked.isValid()) return bands_.marked;
        if (sortColumn_ >= 0) return {};
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
        case Time:
            return timeText(song.duration());
        case Year:
            if (const auto year = song.dict().node.integerFor("Year"); year && *year > 0) return QString::number(*year);
            return {};
        case Genre:
            return qText(song.dict().node.stringFor("Genre").value_or(std::string_view()));
        case Plays:
            if (const auto plays = app_.statsOf(song).stats.plays; plays > 0) return QLocale().toString(plays);
            return {};
        case LastPlayed:
            return dateText(app_.statsOf(song).stats.lastPlayed);
        case DateAdded:
            return dateText(app_.statsOf(song).dateAdded);
        default:
            return {};
        }
    }
    if (role == RatingRole && index.column() == Rating) return app_.statsOf(song).stats.rating.value_or(0);
    if (role == Qt::AccessibleTextRole && index.column() == Rating)
        return tr("%1 of 5 stars").arg((app_.statsOf(song).stats.rating.value_or(0) + 10) / 20);
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
    if (role == Qt::TextAlignmentRole &&
        (index.column() == TrackNum || index.column() == Time || index.column() == Plays))
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
    case Time:
        return tr("Time");
    case Year:
        return tr("Year");
    case Genre:
        return tr("Genre");
    case Plays:
        return tr("Plays");
    case LastPlayed:
        return tr("Last Played");
    case Rating:
        return tr("Rating");
    case DateAdded:
        return tr("Date Added");
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
    relayout([&] { query_ = query; });
}

void SongTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount || column == Audio) column = -1;
    if (column == sortColumn_ && (column < 0 || order == sortOrder_)) return;
    relayout([&] {
        sortColumn_ = column;
        sortOrder_ = order;
    });
}

template <class Change> void SongTableModel::relayout(Change&& change) {
    // A new layout rather than a reset: the selection and the current row stay where they show.
    emit layoutAboutToBeChanged();
    const auto old = persistentIndexList();
    std::vector<std::int64_t> songs;
    songs.reserve(static_cast<std::size_t>(old.size()));
    for (const auto& i : old)
        songs.push_back(orderIndex(i.row()));
    change();
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
    shown_.reset();
    rowOfIndex_.clear();
    searching_ = list && !search.empty();
    if (!list || (!searching_ && sortColumn_ < 0)) return;
    const auto& songs = list->shuffledSongs;
    shown_.emplace();
    if (searching_) {
        prepareSearch();
        for (std::size_t i = 0; i < songs.size() && i < searchTexts_.size(); ++i)
            if (search.matches(searchTexts_[i])) shown_->push_back(static_cast<std::int64_t>(i));
    } else {
        shown_->resize(songs.size());
        std::iota(shown_->begin(), shown_->end(), std::int64_t{0});
    }
    sortRows(*shown_);
    rowOfIndex_.assign(songs.size(), -1);
    for (std::size_t row = 0; row < shown_->size(); ++row)
        rowOfIndex_[static_cast<std::size_t>((*shown_)[row])] = static_cast<int>(row);
}

void SongTableModel::sortRows(std::vector<std::int64_t>& rows) const {
    if (sortColumn_ < 0) return;
    const auto& songs = playlist()->shuffledSongs;
    const auto songOf = [&](std::int64_t i) -> const MySong& { return *songs[static_cast<std::size_t>(i)]; };
    std::vector<std::size_t> places(rows.size());
    std::iota(places.begin(), places.end(), std::size_t{0});
    const bool down = sortOrder_ == Qt::DescendingOrder;
    // Equal keys keep the play order, either way.
    const auto sortBy = [&](const auto& keys, auto less) {
        std::stable_sort(places.begin(), places.end(), [&](std::size_t a, std::size_t b) {
            return down ? less(keys[b], keys[a]) : less(keys[a], keys[b]);
        });
    };
    if (sortColumn_ == Name || sortColumn_ == Album || sortColumn_ == Artist || sortColumn_ == Genre) {
        QCollator collator;
        collator.setNumericMode(true);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        const auto textOf = [&](const MySong& song) -> std::string_view {
            switch (sortColumn_) {
            case Name:
                return song.name();
            case Album:
                return song.album();
            case Artist:
                return song.artist();
            default:
                return song.dict().node.stringFor("Genre").value_or(std::string_view());
            }
        };
        // Neighbouring rows mostly share their album and artist: each run's key is made once.
        std::vector<QCollatorSortKey> keys;
        keys.reserve(rows.size());
        std::string_view last;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto text = textOf(songOf(rows[i]));
            if (i > 0 && text == last)
                keys.push_back(keys.back());
            else
                keys.push_back(collator.sortKey(qText(text)));
            last = text;
        }
        sortBy(keys, [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b) < 0; });
    } else {
        constexpr auto none = std::numeric_limits<std::int64_t>::min();
        std::vector<std::int64_t> keys(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto& song = songOf(rows[i]);
            const auto stats = isStatistic(sortColumn_) ? app_.statsOf(song) : ShownStats{};
            switch (sortColumn_) {
            case TrackNum:
                keys[i] = song.discNumer() * 100000 + song.trackNumber();
                break;
            case Time:
                keys[i] = static_cast<std::int64_t>(song.duration() * 1000);
                break;
            case Year:
                keys[i] = song.dict().node.integerFor("Year").value_or(none);
                break;
            case Plays:
                keys[i] = stats.stats.plays;
                break;
            case LastPlayed:
                keys[i] = stats.stats.lastPlayed.value_or(none);
                break;
            case Rating:
                keys[i] = stats.stats.rating.value_or(0);
                break;
            default:
                keys[i] = stats.dateAdded.value_or(none);
                break;
            }
        }
        sortBy(keys, std::less<>());
    }
    std::vector<std::int64_t> sorted(rows.size());
    for (std::size_t i = 0; i < places.size(); ++i)
        sorted[i] = rows[places[i]];
    rows = std::move(sorted);
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

void SongTableModel::refreshStatistics() {
    if (const auto rows = rowCount(); rows > 0) emit dataChanged(index(0, Plays), index(rows - 1, DateAdded));
}

void SongTableModel::refreshRows() {
    if (const auto rows = rowCount(); rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, ColumnCount - 1));
}

} // namespace platter
