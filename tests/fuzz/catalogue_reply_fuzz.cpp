// Any bytes as a catalogue reply: read into result records, whose text must be usable as the
// link pages' text.

#include "core/store/catalogue_query.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto results = platter::readResults(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!results) return 0;
    std::size_t total = 0;
    for (const auto& r : *results)
        for (const auto& [key, value] : r.stringDict)
            total += key.size() + value.size();
    return total == static_cast<std::size_t>(-1);
}
