#include "core/app/state_keeper.h"

#include "core/persistence/user_defaults.h"
#include "core/plist/xml_writer.h"
#include "core/services/log.h"
#include "core/services/property_list_reader.h"
#include "core/services/state_storage.h"
#include "core/shuffle/shuffle.h"

#include <algorithm>
#include <cmath>

namespace platter {

namespace {

// The persistent IDs of the playlist that plays and of the selected one, either left out when
// there is none. A state file, not a setting: it changes with every choice.
const std::string selectionFile = "selection.plist";

// A state file read into its shape; anything in it that is not counts in `dropped`.
template <typename Shape>
Shape readStateFile(const StateStorage& storage, const std::string& name, const PropertyListReader& reader,
                    Shape (*from)(const plist::Value&, std::size_t&), std::size_t& dropped) {
    const auto file = storage.read(name);
    if (file.status == StateStorage::ReadResult::Status::Missing) return {};
    const auto parsed = file.status == StateStorage::ReadResult::Status::Found ? reader.parse(file.bytes)
                                                                               : PropertyListReader::Result{};
    if (!parsed.document) return ++dropped, Shape{};
    return from(plist::Value::copyOf(parsed.document->root()), dropped);
}

} // namespace

StateKeeper::StateKeeper(StateStorage& storage, TaskRunner& tasks, UserDefaults& defaults,
                         const PropertyListReader& reader, std::function<void()> savedChanged)
    : storage_(storage), defaults_(defaults), reader_(reader), savedChanged_(std::move(savedChanged)),
      writer_(std::make_unique<StateWriter>(storage, tasks,
                                            [this](const std::string& error) { problem(stateError_, error); })) {}

AlbumSettings StateKeeper::read() {
    std::size_t dropped = 0;
    auto albumSettings = readAlbumSettings(defaults_, reader_, dropped);
    std::size_t stateDropped = 0;
    positions_ = readStateFile(storage_, state_files::positions, reader_, &playingNumbersFrom, stateDropped);
    seconds_ = readStateFile(storage_, state_files::seconds, reader_, &playingSecondsFrom, stateDropped);
    orders_ = readStateFile(storage_, state_files::importedOrders, reader_, &playlistOrdersFrom, stateDropped);
    orderFilesRead_.clear();
    startNotice_.reset();
    if (defaults_.objectForKey(keys::playlists) || defaults_.objectForKey(keys::playingNumbers)) {
        // What the state folder holds is newer than anything still in the settings.
        for (auto& [id, order] : readPlaylistOrders(defaults_, dropped))
            orders_.try_emplace(id, std::move(order));
        for (const auto& [id, number] : readPlayingNumbers(defaults_, dropped))
            positions_.try_emplace(id, number);
        migrateFromSettings();
    }
    // What was passed over is gone at the next save: the file as it was is kept.
    if (dropped > 0)
        startNotice_ = Notice{Notice::Kind::SettingsPartlyUnread, defaults_.keepCopy(), {}};
    else if (stateDropped > 0 && !startNotice_)
        startNotice_ = Notice{Notice::Kind::StatePartlyUnread, {}, {}};
    return albumSettings;
}

void StateKeeper::migrateFromSettings() {
    // Orders and positions used to be kept with the settings. They leave the settings only once
    // they are safely in the state folder, so a failure here loses nothing.
    auto error = storage_.write(state_files::importedOrders, plist::writeXml(playlistOrdersValue(orders_)));
    if (error.empty())
        error = storage_.write(state_files::positions, plist::writeXml(playingNumbersValue(positions_)));
    if (!error.empty()) {
        // Nothing later retries this, so it is said once, as the start's own notice.
        log::write(log::Category::State, "orders and positions not moved: " + error);
        startNotice_ = Notice{Notice::Kind::StateNotMoved, {}, error};
        return;
    }
    log::write(log::Category::State, "moved " + std::to_string(orders_.size()) + " orders and " +
                                         std::to_string(positions_.size()) + " positions out of the settings");
    defaults_.removeObjectForKey(keys::playlists);
    defaults_.removeObjectForKey(keys::playingNumbers);
    saveSettings();
}

void StateKeeper::restoreOrder(MyPlaylist& playlist, const Library& library, RandomSource& random) {
    const auto& id = playlist.persistentID();
    // Its own file is newer than an imported order; read once, as later the order in memory is.
    if (orderFilesRead_.insert(id).second) {
        const auto file = storage_.read(state_files::orderOf(id));
        if (file.status == StateStorage::ReadResult::Status::Found)
            if (auto order = decodeOrder(file.bytes, id, reader_)) orders_[id] = std::move(*order);
    }
    const auto stored = orders_.find(id);
    if (stored == orders_.end()) return;
    auto storedIDs = stored->second;
    std::vector<std::string_view> current;
    current.reserve(playlist.songs().size());
    for (const auto& s : playlist.songs())
        current.push_back(s->persistentID());
    std::sort(storedIDs.begin(), storedIDs.end());
    std::sort(current.begin(), current.end());
    if (!std::equal(storedIDs.begin(), storedIDs.end(), current.begin(), current.end())) {
        orders_.erase(stored);
        writer_->remove(state_files::orderOf(id));
        return;
    }
    std::vector<SongPtr> order;
    order.reserve(stored->second.size());
    for (const auto& songID : stored->second)
        order.push_back(library.songsByPersistentID.at(songID));
    platter::restoreOrder(playlist, std::move(order), random);
    playlist.shuffleVersion = 0;
    // A position outside the order would index past its end; the order then starts afresh.
    if (const auto n = positions_.find(id); n != positions_.end() && n->second >= 0 &&
                                            n->second < static_cast<std::int64_t>(playlist.shuffledSongs.size()))
        playlist.playingNum = n->second;
}

void StateKeeper::storeOrder(const MyPlaylist& playlist) {
    const auto& id = playlist.persistentID();
    auto& stored = orders_[id];
    // Written over in place: the strings keep their buffers, which spares a 200k-song order as
    // many allocations on every reshuffle.
    stored.resize(playlist.shuffledSongs.size());
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i].assign(playlist.shuffledSongs[i]->persistentID());
    orderFilesRead_.insert(id);
    writer_->write(state_files::orderOf(id), [id, songs = stored] { return encodeOrder(id, songs); });
}

void StateKeeper::forgetPlace(const MyPlaylist& playlist) {
    positions_.erase(playlist.persistentID());
    storePositions();
    rememberSeconds(playlist, 0);
}

void StateKeeper::storePositions() {
    writer_->write(state_files::positions,
                   [numbers = positions_] { return plist::writeXml(playingNumbersValue(numbers)); });
}

void StateKeeper::rememberPosition(const MyPlaylist& playlist) {
    positions_[playlist.persistentID()] = playlist.playingNum;
    storePositions();
}

void StateKeeper::rememberPositionIfMoved(const MyPlaylist& playlist) {
    if (const auto stored = positions_.find(playlist.persistentID());
        stored == positions_.end() || stored->second != playlist.playingNum)
        rememberPosition(playlist);
}

void StateKeeper::rememberSeconds(const MyPlaylist& playlist, double seconds) {
    const auto& id = playlist.persistentID();
    const auto known = seconds_.find(id);
    if (seconds > 0 && std::isfinite(seconds)) {
        if (known != seconds_.end() && known->second == seconds) return;
        seconds_[id] = seconds;
    } else {
        if (known == seconds_.end()) return;
        seconds_.erase(known);
    }
    writer_->write(state_files::seconds, [all = seconds_] { return plist::writeXml(playingSecondsValue(all)); });
}

std::optional<double> StateKeeper::storedSeconds(const MyPlaylist& playlist) const {
    const auto found = seconds_.find(playlist.persistentID());
    return found == seconds_.end() ? std::nullopt : std::optional<double>(found->second);
}

bool StateKeeper::hasStoredPlace(const MyPlaylist& playlist) const {
    return positions_.contains(playlist.persistentID()) || seconds_.contains(playlist.persistentID());
}

void StateKeeper::storeSelection(const MyPlaylist* playing, const MyPlaylist* selected) {
    plist::Dict stored;
    if (playing) stored.emplace_back("playing", playing->persistentID());
    if (selected) stored.emplace_back("selected", selected->persistentID());
    writer_->write(selectionFile, [value = plist::Value(std::move(stored))] { return plist::writeXml(value); });
}

StateKeeper::StoredSelection StateKeeper::storedSelection() const {
    const auto file = storage_.read(selectionFile);
    if (file.status != StateStorage::ReadResult::Status::Found) return {};
    const auto parsed = reader_.parse(file.bytes);
    if (!parsed.document) return {};
    const auto root = plist::Value::copyOf(parsed.document->root());
    const auto* dict = root.get<plist::Dict>();
    if (!dict) return {};
    const auto text = [&](const char* key) {
        const auto* value = plist::find(*dict, key);
        const auto* id = value ? value->get<std::string>() : nullptr;
        return id ? *id : std::string();
    };
    return {text("playing"), text("selected")};
}

void StateKeeper::saveSettings() {
    const bool saved = defaults_.synchronize();
    if (!saved) log::write(log::Category::State, "the settings file could not be written");
    problem(settingsError_, saved ? std::string() : "the settings file");
}

std::optional<Notice> StateKeeper::unsaved() const {
    if (!stateError_.empty()) return Notice{Notice::Kind::StateUnsaved, {}, stateError_};
    if (!settingsError_.empty()) return Notice{Notice::Kind::SettingsUnsaved, {}, {}};
    return std::nullopt;
}

void StateKeeper::flush() { writer_->flush(); }

void StateKeeper::problem(std::string& slot, const std::string& error) {
    if (slot == error) return;
    slot = error;
    if (savedChanged_) savedChanged_();
}

} // namespace platter
