#pragma once

// The stored shapes of the album settings, shuffled orders and playing positions, and their
// readers, which accept a value only in exactly its shape.

#include "core/model/my_album.h"
#include "core/plist/value.h"
#include "core/services/replay_gain.h"
#include "core/services/shuffle_mode.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platter {

class PropertyListReader;
class UserDefaults;

// Playlist persistent ID to its shuffled song persistent IDs.
using PlaylistOrders = std::map<std::string, std::vector<std::string>>;
// Playlist persistent ID to the index in its order of the song to continue with.
using PlayingNumbers = std::map<std::string, std::int64_t>;
// Playlist persistent ID to how far into that song, in seconds, it stopped.
using PlayingSeconds = std::map<std::string, double>;

// Each reader keeps the entries of its key that have their shape and passes over the others,
// adding how many to `dropped`: one bad entry must not cost every saved order.
AlbumSettings readAlbumSettings(const UserDefaults& defaults, const PropertyListReader& reader,
                                std::size_t& dropped);
PlaylistOrders readPlaylistOrders(const UserDefaults& defaults, std::size_t& dropped);
PlayingNumbers readPlayingNumbers(const UserDefaults& defaults, std::size_t& dropped);
PlaylistOrders playlistOrdersFrom(const plist::Value& value, std::size_t& dropped);
PlayingNumbers playingNumbersFrom(const plist::Value& value, std::size_t& dropped);
// Only finite times from zero on are kept.
PlayingSeconds playingSecondsFrom(const plist::Value& value, std::size_t& dropped);
std::optional<std::int64_t> readTopArtistsRatio(const UserDefaults& defaults);
// The ReplayGain preferences: a mode by name and levels clamped to their range; what is missing
// or not understood keeps its default.
ReplayGain readReplayGain(const UserDefaults& defaults);
plist::Value replayGainValue(const ReplayGain& replayGain);
// How shuffles draw: the preferences' mode, and the playlists that have their own, by persistent
// ID. Stored by name; a mode missing or not understood is uniform, or for a playlist none.
struct ShuffleModes {
    ShuffleMode all = ShuffleMode::Uniform;
    std::map<std::string, ShuffleMode, std::less<>> playlists;
};
ShuffleModes readShuffleModes(const UserDefaults& defaults);
plist::Value shuffleModeValue(ShuffleMode mode);
plist::Value playlistShuffleModesValue(const ShuffleModes& modes);
// The chosen music folders: the stored array's strings; anything else in it is passed over.
std::vector<std::string> readMusicFolders(const UserDefaults& defaults);

// The album settings travel as data: an XML property list of album ID to a dictionary from
// decimal disc number (or -1) to Boolean.
plist::Data encodeAlbumSettings(const AlbumSettings& settings);
// Nothing when the bytes are no dictionary; albums whose entry has not its shape are passed
// over and counted in `dropped`.
std::optional<AlbumSettings> decodeAlbumSettings(std::string_view bytes, const PropertyListReader& reader,
                                                 std::size_t* dropped = nullptr);

plist::Value playlistOrdersValue(const PlaylistOrders& orders);
plist::Value playingNumbersValue(const PlayingNumbers& numbers);
plist::Value playingSecondsValue(const PlayingSeconds& seconds);

// The state files. Every playlist's order has a file of its own, so storing one order rewrites
// no other, and the play positions share one small file that no order is in.
namespace state_files {
inline const std::string positions = "positions.plist";
// Where in their songs the playlists stopped, stored at every pause, so that storing it
// rewrites no position.
inline const std::string seconds = "seconds.plist";
// Orders stored by an earlier version, with the settings; read, never written again.
inline const std::string importedOrders = "orders/imported.plist";
// The file of one playlist's order. The ID is kept inside too: a name made from an ID that is
// no safe file name cannot be read back into it.
std::string orderOf(std::string_view playlistID);
} // namespace state_files

std::string encodeOrder(std::string_view playlistID, const std::vector<std::string>& songIDs);
// The order's song IDs, or nothing when the bytes are no order of this playlist.
std::optional<std::vector<std::string>> decodeOrder(std::string_view bytes, std::string_view playlistID,
                                                    const PropertyListReader& reader);

} // namespace platter
