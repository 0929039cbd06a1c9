// Makes the demo library that `scripts/run` starts Platter on: short generated tunes encoded
// as MP3, M4A, FLAC and Ogg by GStreamer, tagged and given covers with TagLib, and a library
// file in the music application's layout that refers to them through its music folder, as a
// library copied from another computer does. The albums are mastered at different levels and
// carry ReplayGain measured by GStreamer's analysis, as a tagging tool would store it.
//
// usage: platter-make-demo OUTPUT_FOLDER

#include "core/model/file_url.h"
#include "core/plist/xml_writer.h"
#include "platform/audio/gst_pipeline.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gst/gst.h>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <vector>

namespace fs = std::filesystem;
using platter::plist::Array;
using platter::plist::Dict;
using platter::plist::Value;

namespace {

enum class Format { Mp3, M4a, Flac, Ogg };
enum class Cover { Embedded, Beside, None };

struct Album {
    std::string title, artist;
    std::optional<std::string> albumArtist; // none: a compilation
    Format format;
    Cover cover;
    int pattern; // of the generated cover
    int year;
    double masterDb;  // how loud the album was mastered
    double dynamicDb; // how far its songs range around that, up and down
    std::vector<std::vector<std::pair<std::string, std::string>>> discs; // (title, track artist) per disc
};

const std::string musicFolderUrl = "file:///Users/demo/Music/iTunes/iTunes%20Media/";
const std::string musicFolderPath = "/Users/demo/Music/iTunes/iTunes Media/";

bool run(const std::string& description) {
    const auto error = platter::runPipeline(description);
    if (!error.empty()) std::cerr << error << ": " << description << '\n';
    return error.empty();
}

// A gentle two-note tune: a low tone under a higher one, at 22.05 kHz mono to stay small,
// `levelDb` louder than the tunes are by themselves.
bool encodeTune(const fs::path& path, Format format, double seconds, double base, double levelDb) {
    const double level = std::pow(10.0, levelDb / 20);
    const auto buffers = static_cast<int>(seconds * 50);
    const char* encoder = "";
    switch (format) {
    case Format::Mp3:
        encoder = "lamemp3enc target=bitrate bitrate=32 cbr=true ! xingmux ! id3v2mux";
        break;
    case Format::M4a:
        encoder = "avenc_aac bitrate=32000 ! mp4mux";
        break;
    case Format::Flac:
        encoder = "flacenc quality=8";
        break;
    case Format::Ogg:
        encoder = "vorbisenc quality=0.0 ! oggmux";
        break;
    }
    char description[1024];
    std::snprintf(description, sizeof description,
                  "audiomixer name=mix ! audio/x-raw,rate=22050,channels=1 ! audioconvert ! %s ! filesink "
                  "location=\"%s\" "
                  "audiotestsrc num-buffers=%d samplesperbuffer=441 freq=%.1f volume=%.4f ! "
                  "audio/x-raw,rate=22050 ! mix. "
                  "audiotestsrc num-buffers=%d samplesperbuffer=441 freq=%.1f volume=%.4f ! "
                  "audio/x-raw,rate=22050 ! mix.",
                  encoder, path.c_str(), buffers, base, 0.25 * level, buffers, base * 1.5, 0.12 * level);
    return run(description);
}

struct Loudness {
    double gain = 0; // dB
    double peak = 0; // of full scale
};

// GStreamer's ReplayGain analysis of the files played one after another as one stream: of one
// file, its track gain; of an album's files, the album gain.
std::optional<Loudness> analyse(const std::vector<fs::path>& files) {
    std::string description = "concat name=c ! audioconvert ! audioresample ! rganalysis ! fakesink name=out";
    for (const auto& file : files)
        description += " filesrc location=\"" + file.string() + "\" ! decodebin ! audioconvert ! c.";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (!pipeline || error) {
        std::cerr << (error ? error->message : "no pipeline") << ": " << description << '\n';
        return std::nullopt;
    }
    // The analysis sends its result downstream with the stream's end; the sink posts it.
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    std::optional<Loudness> found;
    bool over = false;
    while (!over) {
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus, 30 * GST_SECOND,
            static_cast<GstMessageType>(GST_MESSAGE_TAG | GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (!message) break;
        over = GST_MESSAGE_TYPE(message) != GST_MESSAGE_TAG;
        if (!over && GST_MESSAGE_SRC(message) == GST_OBJECT(sink)) {
            GstTagList* tags = nullptr;
            gst_message_parse_tag(message, &tags);
            Loudness l;
            if (gst_tag_list_get_double(tags, GST_TAG_TRACK_GAIN, &l.gain) &&
                gst_tag_list_get_double(tags, GST_TAG_TRACK_PEAK, &l.peak))
                found = l;
            gst_tag_list_unref(tags);
        }
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    gst_object_unref(sink);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return found;
}

// Stores the gains where each format's taggers put them.
void storeReplayGain(const fs::path& path, Format format, const Loudness& track, const Loudness& album) {
    const auto gain = [](double value) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2f dB", value);
        return TagLib::String(buf);
    };
    const auto peak = [](double value) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.6f", value);
        return TagLib::String(buf);
    };
    const std::pair<const char*, TagLib::String> values[] = {
        {"replaygain_track_gain", gain(track.gain)},
        {"replaygain_track_peak", peak(track.peak)},
        {"replaygain_album_gain", gain(album.gain)},
        {"replaygain_album_peak", peak(album.peak)},
    };
    if (format == Format::M4a) {
        TagLib::MP4::File f(path.c_str());
        for (const auto& [name, value] : values)
            f.tag()->setItem(TagLib::String("----:com.apple.iTunes:") + name, TagLib::StringList(value));
        f.save();
        return;
    }
    // Xiph comments by these names; in ID3v2, user text frames described by them.
    TagLib::FileRef ref(path.c_str());
    auto properties = ref.file()->properties();
    for (const auto& [name, value] : values)
        properties.replace(TagLib::String(name).upper(), TagLib::StringList(value));
    ref.file()->setProperties(properties);
    ref.save();
}

std::string makeCover(const fs::path& dir, int pattern) {
    const auto file = dir / "cover-source.jpg";
    run("videotestsrc num-buffers=1 pattern=" + std::to_string(pattern) +
        " ! video/x-raw,width=240,height=240 ! jpegenc quality=70 ! filesink location=\"" + file.string() +
        "\"");
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(file);
    return bytes;
}

TagLib::FLAC::Picture* frontCover(const TagLib::ByteVector& bytes) {
    auto* picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType("image/jpeg");
    picture->setData(bytes);
    return picture;
}

void tag(const fs::path& path, Format format, const std::string& title, const std::string& artist,
         const std::string& album, int track, const std::optional<std::string>& cover) {
    TagLib::FileRef ref(path.c_str());
    if (ref.tag()) {
        ref.tag()->setTitle(TagLib::String(title, TagLib::String::UTF8));
        ref.tag()->setArtist(TagLib::String(artist, TagLib::String::UTF8));
        ref.tag()->setAlbum(TagLib::String(album, TagLib::String::UTF8));
        ref.tag()->setTrack(static_cast<unsigned>(track));
        ref.save();
    }
    if (!cover) return;
    const TagLib::ByteVector bytes(cover->data(), static_cast<unsigned>(cover->size()));
    switch (format) {
    case Format::Mp3: {
        TagLib::MPEG::File f(path.c_str());
        auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        frame->setMimeType("image/jpeg");
        frame->setPicture(bytes);
        f.ID3v2Tag(true)->addFrame(frame);
        f.save();
        break;
    }
    case Format::M4a: {
        TagLib::MP4::File f(path.c_str());
        TagLib::MP4::CoverArtList covers;
        covers.append(TagLib::MP4::CoverArt(TagLib::MP4::CoverArt::JPEG, bytes));
        f.tag()->setItem("covr", covers);
        f.save();
        break;
    }
    case Format::Flac: {
        TagLib::FLAC::File f(path.c_str());
        f.addPicture(frontCover(bytes));
        f.save();
        break;
    }
    case Format::Ogg: {
        TagLib::Ogg::Vorbis::File f(path.c_str());
        f.tag()->addPicture(frontCover(bytes));
        f.save();
        break;
    }
    }
}

const char* extensionOf(Format f) {
    switch (f) {
    case Format::Mp3:
        return ".mp3";
    case Format::M4a:
        return ".m4a";
    case Format::Flac:
        return ".flac";
    case Format::Ogg:
        return ".ogg";
    }
    return "";
}

const char* kindOf(Format f) {
    switch (f) {
    case Format::Mp3:
        return "MPEG audio file";
    case Format::M4a:
        return "AAC audio file";
    case Format::Flac:
        return "FLAC audio file";
    case Format::Ogg:
        return "Ogg Vorbis audio file";
    }
    return "";
}

std::string persistentID(int n) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "D3M0%012X", n * 7919);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: platter-make-demo OUTPUT_FOLDER\n";
        return 2;
    }
    gst_init(nullptr, nullptr);
    const fs::path out = argv[1];
    fs::create_directories(out);

    const std::vector<Album> albums{
        {"Three Movements",
         "The Quiet Orchestra",
         "The Quiet Orchestra",
         Format::Flac,
         Cover::Embedded,
         18,
         1998,
         -14, // a quiet classical master with soft and loud movements
         5,
         {{{"Overture", ""}, {"Dawn Theme", ""}, {"Procession", ""}},
          {{"Adagio", ""}, {"Interlude", ""}, {"Scherzo", ""}},
          {{"Finale", ""}, {"Coda", ""}}}},
        {"Night Swim",
         "Lumen",
         "Lumen",
         Format::Mp3,
         Cover::Embedded,
         1,
         2016,
         0,
         1,
         {{{"Undertow", ""},
           {"Glass Harbour", ""},
           {"Moon & Tide", ""},
           {"Slow Current", ""},
           {"Riptide", ""},
           {"Surface", ""}}}},
        {"Salt & Steel",
         "Harbor Lights",
         "Harbor Lights",
         Format::M4a,
         Cover::Embedded,
         13,
         2021,
         3,
         1,
         {{{"Rust", ""}, {"Anchor", ""}, {"Lighthouse (Reprise)", ""}, {"Foghorn", ""}, {"Dockside", ""}}}},
        {"Summer Sampler",
         "",
         std::nullopt,
         Format::Ogg,
         Cover::Beside,
         7,
         2019,
         -4,
         2,
         {{{"Heatwave", "Sol Rivera"},
           {"Lemonade", "The Porch Band"},
           {"Café Terrace", "Amélie Roux"},
           {"Boardwalk", "Lumen"},
           {"Last Light", "Nova Static"}}}},
        {"Signals",
         "Nova Static",
         "Nova Static",
         Format::Mp3,
         Cover::None,
         0,
         2023,
         7, // loud
         0.5,
         {{{"Carrier Wave", ""}, {"Interference", ""}, {"Numbers Station", ""}, {"Sign Off", ""}}}},
    };

    Dict tracks;
    std::map<std::string, std::vector<int>> byAlbum;
    std::vector<int> allMusic;
    int id = 100;
    int tuneNumber = 0;
    for (const auto& album : albums) {
        const auto folderArtist = album.albumArtist ? *album.albumArtist : std::string("Compilations");
        const auto relFolder = fs::path("Music") / folderArtist / album.title;
        // Laid out as the library application lays out its folder: the library file beside
        // the media folder.
        const auto media = out / "iTunes Media";
        fs::create_directories(media / relFolder);
        std::optional<std::string> cover;
        if (album.cover != Cover::None) cover = makeCover(out, album.pattern);
        if (album.cover == Cover::Beside)
            std::ofstream(media / relFolder / "cover.jpg", std::ios::binary) << *cover;
        const int discCount = static_cast<int>(album.discs.size());
        std::vector<fs::path> albumFiles;
        int songOfAlbum = 0;
        for (int d = 0; d < discCount; ++d) {
            const auto& disc = album.discs[static_cast<std::size_t>(d)];
            for (int t = 0; t < static_cast<int>(disc.size()); ++t) {
                const auto& [title, trackArtist] = disc[static_cast<std::size_t>(t)];
                const auto artist = trackArtist.empty() ? album.artist : trackArtist;
                const double seconds = 10 + (tuneNumber * 7) % 26;
                const double base = 196.0 * std::pow(2.0, ((tuneNumber * 5) % 12) / 12.0);
                ++tuneNumber;
                char number[16];
                std::snprintf(number, sizeof number, discCount > 1 ? "%d-%02d " : "%02d ",
                              discCount > 1 ? d + 1 : t + 1, t + 1);
                const auto fileName = (discCount > 1 ? std::string(number) : std::string(number)) + title +
                                      extensionOf(album.format);
                const auto file = media / relFolder / fileName;
                // Songs alternate softer and louder around the album's master level.
                const double level = album.masterDb + album.dynamicDb * (songOfAlbum++ % 3 - 1);
                if (!encodeTune(file, album.format, seconds, base, level)) return 1;
                albumFiles.push_back(file);
                tag(file, album.format, title, artist, album.title, t + 1,
                    album.cover == Cover::Embedded ? cover : std::nullopt);
                TagLib::FileRef ref(file.c_str());
                const int ms = ref.audioProperties() ? ref.audioProperties()->lengthInMilliseconds() : 0;

                ++id;
                Dict track{{"Track ID", id},
                           {"Size", static_cast<std::int64_t>(fs::file_size(file))},
                           {"Total Time", ms}};
                if (discCount > 1) {
                    track.emplace_back("Disc Number", d + 1);
                    track.emplace_back("Disc Count", discCount);
                }
                track.emplace_back("Track Number", t + 1);
                track.emplace_back("Track Count", static_cast<int>(disc.size()));
                track.emplace_back("Year", album.year);
                track.emplace_back("Date Modified", platter::plist::Date{1700000000});
                track.emplace_back("Date Added", platter::plist::Date{1700000000 + id});
                track.emplace_back("Bit Rate", 32);
                track.emplace_back("Sample Rate", 22050);
                track.emplace_back("Persistent ID", persistentID(id));
                track.emplace_back("Track Type", "File");
                if (!album.albumArtist) track.emplace_back("Compilation", true);
                track.emplace_back("Name", title);
                track.emplace_back("Artist", artist);
                if (album.albumArtist) track.emplace_back("Album Artist", *album.albumArtist);
                track.emplace_back("Album", album.title);
                track.emplace_back("Genre", "Demo");
                track.emplace_back("Kind", kindOf(album.format));
                const auto location =
                    platter::fileUrlFromPath(musicFolderPath + (relFolder / fileName).string());
                track.emplace_back("Location", location);
                tracks.emplace_back(std::to_string(id), std::move(track));
                byAlbum[album.title].push_back(id);
                allMusic.push_back(id);
            }
        }
        const auto albumLoudness = analyse(albumFiles);
        if (!albumLoudness) return 1;
        for (std::size_t i = 0; i < albumFiles.size(); ++i) {
            const auto track = analyse({albumFiles[i]});
            if (!track) return 1;
            storeReplayGain(albumFiles[i], album.format, *track, *albumLoudness);
            // The file grew by its new tags.
            auto& entry = tracks[tracks.size() - albumFiles.size() + i].second;
            platter::plist::set(*entry.get<Dict>(), "Size",
                                static_cast<std::int64_t>(fs::file_size(albumFiles[i])));
        }
    }
    // A streamed song without a file, a podcast episode and a music video.
    const int remote = ++id;
    tracks.emplace_back(std::to_string(remote), Dict{{"Track ID", remote},
                                                     {"Total Time", 201000},
                                                     {"Persistent ID", persistentID(remote)},
                                                     {"Track Type", "Remote"},
                                                     {"Apple Music", true},
                                                     {"Name", "Streamed Elsewhere"},
                                                     {"Artist", "Lumen"},
                                                     {"Album Artist", "Lumen"},
                                                     {"Album", "Night Swim (Deluxe)"},
                                                     {"Kind", "Apple Music AAC audio file"}});
    const int podcast = ++id;
    tracks.emplace_back(
        std::to_string(podcast),
        Dict{{"Track ID", podcast},
             {"Total Time", 1800000},
             {"Persistent ID", persistentID(podcast)},
             {"Track Type", "File"},
             {"Podcast", true},
             {"Name", "Demo Talk, Episode 1"},
             {"Artist", "Demo Talk"},
             {"Album", "Demo Talk"},
             {"Genre", "Podcast"},
             {"Location", platter::fileUrlFromPath(musicFolderPath + "Podcasts/Demo Talk/episode1.mp3")}});
    const int video = ++id;
    tracks.emplace_back(
        std::to_string(video),
        Dict{{"Track ID", video},
             {"Total Time", 240000},
             {"Persistent ID", persistentID(video)},
             {"Track Type", "File"},
             {"Has Video", true},
             {"Music Video", true},
             {"Name", "Live Clip"},
             {"Artist", "Harbor Lights"},
             {"Album", "Salt & Steel"},
             {"Location", platter::fileUrlFromPath(musicFolderPath + "Music Videos/Live Clip.m4v")}});

    int playlistNumber = 500;
    const auto playlist = [&](const std::string& name, const std::vector<int>& items, Dict flags) {
        Dict p = std::move(flags);
        p.emplace_back("Name", name);
        p.emplace_back("Playlist ID", ++playlistNumber);
        p.emplace_back("Playlist Persistent ID", "D3M0PL" + std::to_string(playlistNumber) + "00000");
        p.emplace_back("All Items", true);
        if (!items.empty()) {
            Array list;
            for (const auto i : items)
                list.push_back(Dict{{"Track ID", i}});
            p.emplace_back("Playlist Items", std::move(list));
        }
        return p;
    };
    auto everything = allMusic;
    everything.insert(everything.end(), {remote, podcast, video});
    const auto& orchestra = byAlbum["Three Movements"];
    std::vector<int> evening{byAlbum["Night Swim"].begin(), byAlbum["Night Swim"].end()};
    evening.insert(evening.end(), byAlbum["Signals"].begin(), byAlbum["Signals"].end());
    evening.push_back(orchestra[3]);
    evening.push_back(orchestra[4]);
    evening.push_back(remote);
    std::vector<int> road{byAlbum["Summer Sampler"].begin(), byAlbum["Summer Sampler"].end()};
    road.insert(road.end(), byAlbum["Salt & Steel"].begin(), byAlbum["Salt & Steel"].end());
    const std::vector<int> calm{orchestra[0], orchestra[1], orchestra[3], byAlbum["Night Swim"][0],
                                byAlbum["Night Swim"][3]};

    Array playlists{
        playlist("Library", everything, Dict{{"Master", true}, {"Visible", false}}),
        playlist("Music", allMusic, Dict{{"Distinguished Kind", 4}, {"Music", true}}),
        playlist("Podcasts", {podcast}, Dict{{"Distinguished Kind", 10}, {"Podcasts", true}}),
        playlist("Evening Mix", evening, {}),
        playlist("Orchestral", orchestra, {}),
        playlist("Road Trip", road, {}),
        playlist("Moods", {}, Dict{{"Folder", true}}),
        playlist("Calm", calm, Dict{{"Parent Persistent ID", "D3M0PL50700000"}}),
    };
    Dict root{{"Major Version", 1},
              {"Minor Version", 1},
              {"Application Version", "12.12.10.1"},
              {"Date", platter::plist::Date{1765000000}},
              {"Features", 5},
              {"Show Content Ratings", true},
              {"Music Folder", musicFolderUrl},
              {"Library Persistent ID", "D3M0000000000001"},
              {"Tracks", std::move(tracks)},
              {"Playlists", std::move(playlists)}};
    std::ofstream(out / "iTunes Music Library.xml", std::ios::binary) << platter::plist::writeXml(root);
    std::cout << "demo library: " << (out / "iTunes Music Library.xml").string() << '\n';
    return 0;
}
