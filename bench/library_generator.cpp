#include "library_generator.h"

#include "core/model/file_url.h"
#include "core/plist/date_text.h"
#include "core/plist/xml_writer.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <vector>

namespace platter::bench {

namespace {

class Out {
public:
    explicit Out(const std::string& path) : f_(std::fopen(path.c_str(), "wb")) {
        if (!f_) throw std::runtime_error("cannot write " + path);
        buf_.reserve(1 << 20);
    }
    ~Out() {
        flush();
        std::fclose(f_);
    }
    Out& operator<<(std::string_view s) {
        buf_.append(s);
        if (buf_.size() > (1 << 20) - 4096) flush();
        return *this;
    }
    Out& operator<<(std::int64_t n) { return *this << std::string_view(std::to_string(n)); }
    void flush() {
        std::fwrite(buf_.data(), 1, buf_.size(), f_);
        buf_.clear();
    }

private:
    std::FILE* f_;
    std::string buf_;
};

std::string escaped(std::string_view s) {
    std::string out;
    plist::appendXmlText(out, s);
    return out;
}

struct Album {
    std::string name, artist;
    bool compilation;
    int discs, tracksPerDisc;
};

const char* const words[] = {"Love",   "Night", "Blue",   "River", "Fire",     "Dream", "Heart",
                             "Road",   "Light", "Shadow", "Rain",  "Gold",     "Stone", "Wild",
                             "Silver", "Ocean", "Summer", "Ghost", "Electric", "Paper", "Glass",
                             "Sun",    "Moon",  "City",   "Echo"};
const char* const foreign[] = {"Группа крови", "Café del Mar", "Björk",  "東京",   "Ünder Ötzi",
                               "Señorita",     "Żółć",         "Ελλάδα", "Straße", "Dvořák"};

} // namespace

void generateLibrary(const std::string& path, std::size_t trackCount, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    const auto word = [&] { return std::string(words[pick(std::size(words))]); };
    const auto title = [&](int n) {
        std::string t = word();
        for (int i = 1; i < n; ++i)
            t += " " + word();
        if (pick(10) == 0) t += std::string(" (") + foreign[pick(std::size(foreign))] + ")";
        if (pick(20) == 0) t += " & Friends' \"Mix\"";
        return t;
    };

    std::vector<std::string> artists;
    for (std::size_t i = 0; i < trackCount / 60 + 5; ++i)
        artists.push_back(pick(10) == 0
                              ? std::string(foreign[pick(std::size(foreign))]) + " " + std::to_string(i)
                              : "The " + title(2) + " " + std::to_string(i));

    Out o(path);
    o << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">\n<dict>\n"
         "\t<key>Major Version</key><integer>1</integer>\n"
         "\t<key>Minor Version</key><integer>1</integer>\n"
         "\t<key>Date</key><date>2024-02-03T04:05:06Z</date>\n"
         "\t<key>Application Version</key><string>12.12.10.1</string>\n"
         "\t<key>Features</key><integer>5</integer>\n"
         "\t<key>Show Content Ratings</key><true/>\n"
         "\t<key>Music "
         "Folder</key><string>file://localhost/C:/Users/Anna/Music/iTunes/iTunes%20Media/</string>\n"
         "\t<key>Library Persistent ID</key><string>0123456789ABCDEF</string>\n"
         "\t<key>Tracks</key>\n\t<dict>\n";

    std::vector<std::int64_t> musicIDs, podcastIDs, videoIDs;
    std::int64_t id = 1000;
    std::size_t written = 0;
    while (written < trackCount) {
        Album a;
        a.compilation = pick(20) == 0;
        a.artist = artists[pick(artists.size())];
        a.name = title(1 + static_cast<int>(pick(3)));
        a.discs = pick(10) == 0 ? 2 + static_cast<int>(pick(2)) : 1;
        a.tracksPerDisc = 6 + static_cast<int>(pick(10));
        const bool podcast = pick(50) == 0;
        const bool video = !podcast && pick(100) == 0;
        for (int d = 1; d <= a.discs; ++d) {
            for (int t = 1; t <= a.tracksPerDisc && written < trackCount; ++t, ++written) {
                ++id;
                const auto name = title(2 + static_cast<int>(pick(3)));
                const auto artist = a.compilation ? artists[pick(artists.size())] : a.artist;
                const std::int64_t ms = 120000 + static_cast<std::int64_t>(pick(300000));
                (podcast ? podcastIDs : video ? videoIDs : musicIDs).push_back(id);
                char pid[24];
                std::snprintf(pid, sizeof pid, "%016llX", static_cast<unsigned long long>(rng()));
                const auto releaseYear = 1920 + static_cast<std::int64_t>(pick(110));
                o << "\t\t<key>" << id << "</key>\n\t\t<dict>\n"
                  << "\t\t\t<key>Track ID</key><integer>" << id << "</integer>\n"
                  << "\t\t\t<key>Size</key><integer>" << ms * 32 << "</integer>\n"
                  << "\t\t\t<key>Total Time</key><integer>" << ms << "</integer>\n";
                if (a.discs > 1)
                    o << "\t\t\t<key>Disc Number</key><integer>" << d << "</integer>\n"
                      << "\t\t\t<key>Disc Count</key><integer>" << a.discs << "</integer>\n";
                o << "\t\t\t<key>Track Number</key><integer>" << t << "</integer>\n"
                  << "\t\t\t<key>Track Count</key><integer>" << a.tracksPerDisc << "</integer>\n"
                  << "\t\t\t<key>Year</key><integer>" << releaseYear << "</integer>\n"
                  << "\t\t\t<key>Date Modified</key><date>2019-03-04T05:06:07Z</date>\n"
                  << "\t\t\t<key>Date Added</key><date>2018-01-02T03:04:05Z</date>\n"
                  << "\t\t\t<key>Bit Rate</key><integer>256</integer>\n"
                  << "\t\t\t<key>Sample Rate</key><integer>44100</integer>\n"
                  << "\t\t\t<key>Play Count</key><integer>" << static_cast<std::int64_t>(pick(50))
                  << "</integer>\n"
                  << "\t\t\t<key>Play Date</key><integer>3657434567</integer>\n"
                  << "\t\t\t<key>Play Date UTC</key><date>2019-11-22T10:02:47Z</date>\n"
                  << "\t\t\t<key>Release Date</key><date>"
                  << plist::formatDate(plist::Date{(releaseYear - 1970) * 31556952}) << "</date>\n"
                  << "\t\t\t<key>Normalization</key><integer>1234</integer>\n"
                  << "\t\t\t<key>Artwork Count</key><integer>1</integer>\n"
                  << "\t\t\t<key>Persistent ID</key><string>" << std::string_view(pid) << "</string>\n"
                  << "\t\t\t<key>Track Type</key><string>File</string>\n";
                if (podcast) o << "\t\t\t<key>Podcast</key><true/>\n";
                if (video) o << "\t\t\t<key>Has Video</key><true/>\n\t\t\t<key>Music Video</key><true/>\n";
                if (a.compilation) o << "\t\t\t<key>Compilation</key><true/>\n";
                o << "\t\t\t<key>File Folder Count</key><integer>5</integer>\n"
                  << "\t\t\t<key>Library Folder Count</key><integer>1</integer>\n"
                  << "\t\t\t<key>Name</key><string>" << escaped(name) << "</string>\n"
                  << "\t\t\t<key>Artist</key><string>" << escaped(artist) << "</string>\n";
                if (!a.compilation)
                    o << "\t\t\t<key>Album Artist</key><string>" << escaped(a.artist) << "</string>\n";
                o << "\t\t\t<key>Composer</key><string>" << escaped(artist) << "</string>\n"
                  << "\t\t\t<key>Album</key><string>" << escaped(a.name) << "</string>\n"
                  << "\t\t\t<key>Genre</key><string>Rock</string>\n"
                  << "\t\t\t<key>Kind</key><string>AAC audio file</string>\n";
                const auto folder =
                    (a.compilation ? std::string("Compilations") : a.artist) + "/" + a.name + "/";
                const auto file = std::to_string(d) + "-" + std::to_string(t) + " " + name + ".m4a";
                auto location =
                    fileUrlFromPath("/C:/Users/Anna/Music/iTunes/iTunes Media/Music/" + folder + file);
                location.insert(7, "localhost");
                o << "\t\t\t<key>Location</key><string>" << escaped(location) << "</string>\n"
                  << "\t\t</dict>\n";
            }
        }
    }
    o << "\t</dict>\n\t<key>Playlists</key>\n\t<array>\n";

    std::int64_t playlistID = 100000;
    const auto playlist = [&](std::string_view name, const std::vector<std::int64_t>& items,
                              std::string_view flags) {
        char pid[24];
        std::snprintf(pid, sizeof pid, "%016llX", static_cast<unsigned long long>(rng()));
        o << "\t\t<dict>\n"
          << flags << "\t\t\t<key>Name</key><string>" << escaped(name) << "</string>\n"
          << "\t\t\t<key>Description</key><string></string>\n"
          << "\t\t\t<key>Playlist ID</key><integer>" << ++playlistID << "</integer>\n"
          << "\t\t\t<key>Playlist Persistent ID</key><string>" << std::string_view(pid) << "</string>\n"
          << "\t\t\t<key>All Items</key><true/>\n";
        if (!items.empty()) {
            o << "\t\t\t<key>Playlist Items</key>\n\t\t\t<array>\n";
            for (const auto i : items)
                o << "\t\t\t\t<dict>\n\t\t\t\t\t<key>Track ID</key><integer>" << i
                  << "</integer>\n\t\t\t\t</dict>\n";
            o << "\t\t\t</array>\n";
        }
        o << "\t\t</dict>\n";
    };
    std::vector<std::int64_t> everything = musicIDs;
    everything.insert(everything.end(), podcastIDs.begin(), podcastIDs.end());
    everything.insert(everything.end(), videoIDs.begin(), videoIDs.end());
    playlist("Library", everything, "\t\t\t<key>Master</key><true/>\n\t\t\t<key>Visible</key><false/>\n");
    playlist("Music", musicIDs,
             "\t\t\t<key>Distinguished Kind</key><integer>4</integer>\n\t\t\t<key>Music</key><true/>\n");
    playlist("Movies", videoIDs,
             "\t\t\t<key>Distinguished Kind</key><integer>2</integer>\n\t\t\t<key>Movies</key><true/>\n");
    playlist("Podcasts", podcastIDs,
             "\t\t\t<key>Distinguished Kind</key><integer>10</integer>\n\t\t\t<key>Podcasts</key><true/>\n");
    playlist("Mixes", {}, "\t\t\t<key>Folder</key><true/>\n");
    for (int p = 0; p < 20; ++p) {
        std::vector<std::int64_t> items;
        const auto n = std::min<std::size_t>(musicIDs.size(), 100 + pick(5000));
        const auto start = pick(musicIDs.size() - n + 1);
        items.assign(musicIDs.begin() + static_cast<std::ptrdiff_t>(start),
                     musicIDs.begin() + static_cast<std::ptrdiff_t>(start + n));
        const bool smart = p % 4 == 0;
        playlist(
            title(2), items,
            smart ? "\t\t\t<key>Smart "
                    "Info</key>\n\t\t\t<data>\n\t\t\tAQEAAwAAAAIAAAAZAAAAAAAAAAcAAAABAAAAAAAAAAAA\n\t\t\t</"
                    "data>\n"
                  : "\t\t\t<key>Parent Persistent ID</key><string>00000000DEADBEEF</string>\n");
    }
    o << "\t</array>\n</dict>\n</plist>\n";
}

std::string benchLibrary(std::size_t tracks) {
    const auto dir = std::filesystem::current_path() / "build" / "bench-data";
    std::filesystem::create_directories(dir);
    const auto path = (dir / ("library-" + std::to_string(tracks) + ".xml")).string();
    if (!std::filesystem::exists(path)) generateLibrary(path, tracks);
    return path;
}

} // namespace platter::bench
