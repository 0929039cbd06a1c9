// Any bytes as a library file: parsed, written back (what is written must read back), and
// built into the model and shuffled.

#include "core/model/library.h"
#include "core/plist/xml_writer.h"
#include "core/services/seeded_random.h"
#include "core/shuffle/shuffle.h"
#include "core/text/string_rules.h"
#include "platform/plist/plain_xml_scanner.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/text/icu_unicode_rules.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

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
    const platter::PlistFileReader reader;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    checkScannerAgainstLibxml2(bytes);
    const auto parsed = reader.parse(bytes);
    if (!parsed.document) return 0;
    if (!reader.parse(platter::plist::writeXml(parsed.document->root())).document) std::abort();
    if (!platter::libraryProblem(*parsed.document).empty()) return 0;
    auto library = platter::buildLibrary(parsed.document, {}, rules);
    if (!library) std::abort();
    platter::SeededRandom random(1);
    for (const auto& playlist : library->playlists)
        platter::shuffleWithSettingVersion(*playlist, 0, random);
    return 0;
}
