// Any bytes as the settings file: read, every stored value taken as at start-up, and written
// back; what is written must read back.

#include "core/plist/xml_writer.h"
#include "core/persistence/memory_settings_file.h"
#include "core/persistence/stored_state.h"
#include "core/persistence/user_defaults.h"
#include "platform/plist/plist_file_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const platter::PlistFileReader reader;
    const auto parsed = reader.parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!parsed.document || !parsed.document->root().is(platter::plist::Type::Dict)) return 0;
    platter::MemorySettingsFile file;
    auto values = platter::plist::Value::copyOf(parsed.document->root());
    if (auto* dict = values.get<platter::plist::Dict>()) file.values = std::move(*dict);
    file.exists = true;
    platter::UserDefaults defaults(file);
    std::size_t dropped = 0;
    (void)platter::readAlbumSettings(defaults, reader, dropped);
    (void)platter::readPlaylistOrders(defaults, dropped);
    (void)platter::readPlayingNumbers(defaults, dropped);
    (void)platter::readTopArtistsRatio(defaults);
    (void)platter::readMusicFolders(defaults);
    defaults.synchronize();
    if (!reader.parse(platter::plist::writeXml(file.values)).document) std::abort();
    return 0;
}
