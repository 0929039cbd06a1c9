// Start-up's reading of a settings file that has gathered many orders: 100,000 orders of
// playlists that no longer exist, read as a launch reads them. Prints the time.

#include "core/plist/xml_writer.h"
#include "core/persistence/stored_state.h"
#include "core/persistence/user_defaults.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/settings/settings_file_store.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

int main() {
    using namespace platter;
    constexpr int orders = 100000;
    const auto path = std::filesystem::temp_directory_path() / "platter-settings-bench.plist";
    PlaylistOrders stored;
    PlayingNumbers positions;
    for (int i = 0; i < orders; ++i) {
        const auto id = "GONE" + std::to_string(i);
        stored[id] = {"0000000000000001", "0000000000000002", "0000000000000003"};
        positions[id] = i % 3;
    }
    std::ofstream(path) << plist::writeXml(plist::Dict{{"playlists", playlistOrdersValue(stored)},
                                                       {"playingNumbers", playingNumbersValue(positions)}});
    PlistFileReader reader;
    const auto start = std::chrono::steady_clock::now();
    SettingsFileStore file(path.string(), reader);
    UserDefaults defaults(file);
    std::size_t dropped = 0;
    const auto read = readPlaylistOrders(defaults, dropped).size() + readPlayingNumbers(defaults, dropped).size();
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("settings with %d orders (%.1f MB): read in %.3f s (%zu entries)\n", orders,
                static_cast<double>(std::filesystem::file_size(path)) / 1e6, seconds, read);
    std::filesystem::remove(path);
    return read == 2 * orders ? 0 : 1;
}
