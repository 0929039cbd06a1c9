#pragma once

// What Platter keeps between runs besides the library: every playlist's shuffled order, the
// song each stands at and the second it stopped in, which playlist played and which was
// selected. It reads them at the start (moving what an earlier version kept with the settings
// into the state folder), writes them in the background as they change, and says what could
// not be read or saved.
//
// The settings file is written through here too, so that one place knows whether everything
// is saved.

#include "core/app/notices.h"
#include "core/model/library.h"
#include "core/persistence/state_writer.h"
#include "core/persistence/stored_state.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

namespace platter {

class PropertyListReader;
class RandomSource;
class StateStorage;
class TaskRunner;
class UserDefaults;

class StateKeeper {
public:
    // `savedChanged` hears, on the main thread, that what `unsaved()` says changed.
    StateKeeper(StateStorage& storage, TaskRunner& tasks, UserDefaults& defaults, const PropertyListReader& reader,
                std::function<void()> savedChanged);
    StateKeeper(const StateKeeper&) = delete;
    StateKeeper& operator=(const StateKeeper&) = delete;

    // Reads the stored orders and positions, and the album settings from `defaults`; what could
    // not be read is passed over and told by `startNotice()`.
    AlbumSettings read();
    // What the user should know of the stored settings and state once they were read.
    const std::optional<Notice>& startNotice() const { return startNotice_; }

    // Gives `playlist` its stored order and position when its songs are still the ones the order
    // was drawn from; an order that no longer fits is forgotten.
    void restoreOrder(MyPlaylist& playlist, const Library& library, RandomSource& random);
    void storeOrder(const MyPlaylist& playlist);
    // The order is new: it starts at its first song.
    void forgetPlace(const MyPlaylist& playlist);
    // The song `playlist` is at.
    void rememberPosition(const MyPlaylist& playlist);
    // Only when it differs from the stored one.
    void rememberPositionIfMoved(const MyPlaylist& playlist);
    // Where in its song `playlist` stopped; at its start, nothing is kept.
    void rememberSeconds(const MyPlaylist& playlist, double seconds);
    std::optional<double> storedSeconds(const MyPlaylist& playlist) const;
    // Whether a position or a second is stored for `playlist`: it resumes from there.
    bool hasStoredPlace(const MyPlaylist& playlist) const;

    // The playlist that plays and the selected one, either null for none; read back by
    // persistent ID, empty for none.
    void storeSelection(const MyPlaylist* playing, const MyPlaylist* selected);
    struct StoredSelection {
        std::string playing;
        std::string selected;
    };
    StoredSelection storedSelection() const;

    // Writes the settings file now; a failure is kept as unsaved.
    void saveSettings();
    // What could not be saved, while it is not: the state folder or the settings file.
    std::optional<Notice> unsaved() const;
    // Writes what is still pending, on this thread, as the application quits.
    void flush();

private:
    void storePositions();
    void migrateFromSettings();
    void problem(std::string& slot, const std::string& error);

    StateStorage& storage_;
    UserDefaults& defaults_;
    const PropertyListReader& reader_;
    std::function<void()> savedChanged_;
    PlaylistOrders orders_;
    PlayingNumbers positions_;
    PlayingSeconds seconds_;
    // Playlists whose order file has been read this run; after that the order in memory is newer.
    std::unordered_set<std::string> orderFilesRead_;
    std::optional<Notice> startNotice_;
    std::string settingsError_;
    std::string stateError_;
    std::unique_ptr<StateWriter> writer_;
};

} // namespace platter
