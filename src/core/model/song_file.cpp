#include "core/model/song_file.h"

namespace platter {

std::string groupedNumber(std::int64_t n) {
    auto digits = std::to_string(n < 0 ? -n : n);
    for (auto at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return n < 0 ? "-" + digits : digits;
}

std::string songFilesNotice(const FileCounts& library) {
    const auto total = library.total();
    if (total > 0 && library.found == 0 && library.notFound == 0)
        return "None of the " + groupedNumber(total) +
               " songs in this library has a file on this computer: they are streams or songs kept "
               "in the cloud.";
    if (library.notFound == 0) return {};
    return groupedNumber(library.notFound) + " of " + groupedNumber(total) +
           (library.notFound == 1 ? " songs has" : " songs have") + " no file on this computer.";
}

} // namespace platter
