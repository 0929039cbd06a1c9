// Any bytes as a library file: parsed, written back (what is written must read back), and
// built into the model as at start-up.

#include "core/plist/xml_writer.h"
#include "platform/plist/plain_xml_scanner.h"
#include "tools/inspect/headless_app.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

// Hands the fuzzer's bytes to the application as the library file, whatever path it asks for.
struct BytesReader final : platter::PropertyListReader {
    std::string_view bytes;
    platter::PlistFileReader real;
    Result readFile(const std::string&) const override { return real.parse(bytes); }
    Result parse(std::string_view b) const override { return real.parse(b); }
};

// The scanner takes only what libxml2 takes, to the same values, however its input is cut.
void checkScannerAgainstLibxml2(std::string_view bytes) {
    auto rest = bytes;
    const std::size_t piece = bytes.empty() ? 1 : static_cast<unsigned char>(bytes[0]) % 61 + 1;
    bool readFailed = false;
    const auto scanned = platter::scanPlainXml(
        std::string(piece, '\0'), 0,
        [&](char* into, std::size_t room) {
            const auto n = std::min({room, piece, rest.size()});
            std::memcpy(into, rest.data(), n);
            rest.remove_prefix(n);
            return static_cast<long>(n);
        },
        readFailed);
    if (!scanned) return;
    const auto general = platter::PlistFileReader::parseWithLibxml2(bytes);
    if (!general.document ||
        platter::plist::writeXml(scanned->root()) != platter::plist::writeXml(general.document->root()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const platter::IcuUnicodeRules unicode;
    static const platter::StringRules rules{unicode};
    BytesReader reader;
    reader.bytes = std::string_view(reinterpret_cast<const char*>(data), size);

    checkScannerAgainstLibxml2(reader.bytes);
    const auto parsed = reader.parse(reader.bytes);
    if (parsed.document && !reader.parse(platter::plist::writeXml(parsed.document->root())).document) std::abort();

    platter::MemorySettingsFile file;
    file.values.emplace_back("xmlUrl", "file:///library.xml");
    file.exists = true;
    platter::UserDefaults defaults(file);
    platter::CancellingDialogs dialogs;
    platter::AtomicFileWriter files;
    platter::NoAudio audio;
    platter::NeutralSystem system;
    platter::SeededRandom random(1);
    platter::LocalFileSystem fileSystem;
    platter::MemoryStateStorage state;
    platter::AppDelegate app({.defaults = defaults,
                              .plistReader = reader,
                              .dialogs = dialogs,
                              .files = files,
                              .audioFiles = audio,
                              .artwork = audio,
                              .players = audio,
                              .tasks = audio,
                              .system = system,
                              .random = random,
                              .rules = rules,
                              .fileSystem = fileSystem,
                              .state = state});
    app.applicationDidFinishLaunching();
    return 0;
}
