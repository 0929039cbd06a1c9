#include "core/persistence/stored_state.h"

#include "core/plist/xml_writer.h"
#include "core/services/property_list_reader.h"
#include "core/persistence/user_defaults.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace platter {

namespace {

std::optional<std::int64_t> parseDiscKey(std::string_view s) {
    std::int64_t n = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), n);
    if (r.ec != std::errc{} || r.ptr != s.data() + s.size() || s.empty()) return std::nullopt;
    return n;
}

} // namespace

plist::Data encodeAlbumSettings(const AlbumSettings& settings) {
    plist::Dict root;
    root.reserve(settings.size());
    for (const auto& [albumID, setting] : settings) {
        plist::Dict entry;
        for (const auto& [disc, split] : setting.stored())
            entry.emplace_back(std::to_string(disc), split);
        root.emplace_back(albumID, std::move(entry));
    }
    return plist::Data{plist::writeXml(root)};
}

std::optional<AlbumSettings> decodeAlbumSettings(std::string_view bytes, const PropertyListReader& reader,
                                                 std::size_t* dropped) {
    const auto parsed = reader.parse(bytes);
    if (!parsed.document) return std::nullopt;
    const auto root = parsed.document->root();
    if (!root.is(plist::Type::Dict)) return std::nullopt;
    AlbumSettings out;
    for (std::size_t i = 0; i < root.size(); ++i) {
        const auto entry = root.at(i);
        std::optional<std::map<std::int64_t, bool>> setting;
        if (entry.is(plist::Type::Dict)) {
            setting.emplace();
            for (std::size_t j = 0; j < entry.size() && setting; ++j) {
                const auto disc = parseDiscKey(entry.keyAt(j));
                if (disc && entry.at(j).is(plist::Type::Boolean))
                    (*setting)[*disc] = entry.at(j).boolean();
                else
                    setting.reset();
            }
        }
        if (setting)
            out[std::string(root.keyAt(i))] = AlbumSetting::fromStored(std::move(*setting));
        else if (dropped)
            ++*dropped;
    }
    return out;
}

AlbumSettings readAlbumSettings(const UserDefaults& defaults, const PropertyListReader& reader,
                                std::size_t& dropped) {
    const auto* v = defaults.objectForKey(keys::albumSettings);
    if (!v) return {};
    const auto* data = v->get<plist::Data>();
    auto decoded = data ? decodeAlbumSettings(data->bytes, reader, &dropped) : std::nullopt;
    if (!decoded) ++dropped;
    return decoded ? std::move(*decoded) : AlbumSettings{};
}

PlaylistOrders readPlaylistOrders(const UserDefaults& defaults, std::size_t& dropped) {
    const auto* v = defaults.objectForKey(keys::playlists);
    return v ? playlistOrdersFrom(*v, dropped) : PlaylistOrders{};
}

// A list of strings, or nothing when anything else is in it.
static std::optional<std::vector<std::string>> songIDsFrom(const plist::Value& value) {
    const auto* ids = value.get<plist::Array>();
    if (!ids) return std::nullopt;
    std::vector<std::string> order;
    order.reserve(ids->size());
    for (const auto& id : *ids) {
        const auto* s = id.get<std::string>();
        if (!s) return std::nullopt;
        order.push_back(*s);
    }
    return order;
}

PlaylistOrders playlistOrdersFrom(const plist::Value& value, std::size_t& dropped) {
    const auto* dict = value.get<plist::Dict>();
    if (!dict) return ++dropped, PlaylistOrders{};
    PlaylistOrders out;
    for (const auto& [id, entry] : *dict) {
        if (auto order = songIDsFrom(entry))
            out[id] = std::move(*order);
        else
            ++dropped;
    }
    return out;
}

PlayingNumbers readPlayingNumbers(const UserDefaults& defaults, std::size_t& dropped) {
    const auto* v = defaults.objectForKey(keys::playingNumbers);
    return v ? playingNumbersFrom(*v, dropped) : PlayingNumbers{};
}

PlayingNumbers playingNumbersFrom(const plist::Value& value, std::size_t& dropped) {
    const auto* dict = value.get<plist::Dict>();
    if (!dict) return ++dropped, PlayingNumbers{};
    PlayingNumbers out;
    for (const auto& [id, entry] : *dict) {
        if (const auto* n = entry.get<std::int64_t>())
            out[id] = *n;
        else
            ++dropped;
    }
    return out;
}

PlayingSeconds playingSecondsFrom(const plist::Value& value, std::size_t& dropped) {
    const auto* dict = value.get<plist::Dict>();
    if (!dict) return ++dropped, PlayingSeconds{};
    PlayingSeconds out;
    for (const auto& [id, entry] : *dict) {
        const auto* real = entry.get<double>();
        const auto* whole = entry.get<std::int64_t>();
        const double seconds = real ? *real : whole ? static_cast<double>(*whole) : -1;
        if (std::isfinite(seconds) && seconds >= 0)
            out[id] = seconds;
        else
            ++dropped;
    }
    return out;
}

std::optional<std::int64_t> readTopArtistsRatio(const UserDefaults& defaults) {
    const auto* v = defaults.objectForKey(keys::topArtistsRatio);
    if (!v) return std::nullopt;
    if (const auto* i = v->get<std::int64_t>()) return *i;
    if (const auto* r = v->get<double>(); r && std::isfinite(*r) && std::fabs(*r) < 1e15)
        return static_cast<std::int64_t>(*r);
    return std::nullopt;
}

namespace {
constexpr std::pair<ReplayGain::Mode, std::string_view> replayGainModeNames[] = {
    {ReplayGain::Mode::Off, "off"},
    {ReplayGain::Mode::ByGrain, "grain"},
    {ReplayGain::Mode::Track, "track"},
    {ReplayGain::Mode::Album, "album"},
};
} // namespace

ReplayGain readReplayGain(const UserDefaults& defaults) {
    ReplayGain out;
    const auto* v = defaults.objectForKey(keys::replayGain);
    const auto* d = v ? v->get<plist::Dict>() : nullptr;
    if (!d) return out;
    if (const auto* m = plist::find(*d, "mode"); m && m->get<std::string>())
        for (const auto& [mode, name] : replayGainModeNames)
            if (name == *m->get<std::string>()) out.mode = mode;
    const auto level = [&](std::string_view key, double& into) {
        const auto* l = plist::find(*d, key);
        if (const auto* r = l ? l->get<double>() : nullptr) into = ReplayGain::level(*r);
        if (const auto* i = l ? l->get<std::int64_t>() : nullptr) into = ReplayGain::level(static_cast<double>(*i));
    };
    level("preAmp", out.preAmp);
    level("untagged", out.untagged);
    return out;
}

plist::Value replayGainValue(const ReplayGain& replayGain) {
    std::string_view mode;
    for (const auto& [m, name] : replayGainModeNames)
        if (m == replayGain.mode) mode = name;
    return plist::Dict{{"mode", std::string(mode)}, {"preAmp", replayGain.preAmp}, {"untagged", replayGain.untagged}};
}

namespace {
constexpr std::pair<ShuffleMode, std::string_view> shuffleModeNames[] = {
    {ShuffleMode::Uniform, "uniform"},
    {ShuffleMode::Rediscover, "rediscover"},
};
std::optional<ShuffleMode> shuffleModeFrom(const plist::Value& value) {
    if (const auto* name = value.get<std::string>())
        for (const auto& [mode, n] : shuffleModeNames)
            if (n == *name) return mode;
    return std::nullopt;
}
} // namespace

ShuffleModes readShuffleModes(const UserDefaults& defaults) {
    ShuffleModes out;
    if (const auto* v = defaults.objectForKey(keys::shuffleMode))
        out.all = shuffleModeFrom(*v).value_or(ShuffleMode::Uniform);
    const auto* v = defaults.objectForKey(keys::playlistShuffleModes);
    if (const auto* d = v ? v->get<plist::Dict>() : nullptr)
        for (const auto& [id, mode] : *d)
            if (const auto m = shuffleModeFrom(mode)) out.playlists[id] = *m;
    return out;
}

plist::Value shuffleModeValue(ShuffleMode mode) {
    for (const auto& [m, name] : shuffleModeNames)
        if (m == mode) return std::string(name);
    return std::string(shuffleModeNames[0].second);
}

plist::Value playlistShuffleModesValue(const ShuffleModes& modes) {
    plist::Dict d;
    for (const auto& [id, mode] : modes.playlists)
        d.emplace_back(id, shuffleModeValue(mode));
    return d;
}

std::vector<std::string> readMusicFolders(const UserDefaults& defaults) {
    std::vector<std::string> folders;
    const auto* v = defaults.objectForKey(keys::musicFolders);
    if (const auto* array = v ? v->get<plist::Array>() : nullptr)
        for (const auto& entry : *array)
            if (const auto* s = entry.get<std::string>(); s && !s->empty()) folders.push_back(*s);
    return folders;
}

plist::Value playlistOrdersValue(const PlaylistOrders& orders) {
    plist::Dict d;
    d.reserve(orders.size());
    for (const auto& [id, songs] : orders) {
        plist::Array a;
        a.reserve(songs.size());
        for (const auto& s : songs)
            a.emplace_back(s);
        d.emplace_back(id, std::move(a));
    }
    return d;
}

namespace {

template <typename Map>
plist::Value dictOf(const Map& entries) {
    plist::Dict d;
    d.reserve(entries.size());
    for (const auto& [id, value] : entries)
        d.emplace_back(id, value);
    return d;
}

} // namespace

plist::Value playingNumbersValue(const PlayingNumbers& numbers) { return dictOf(numbers); }

plist::Value playingSecondsValue(const PlayingSeconds& seconds) { return dictOf(seconds); }

std::string state_files::orderOf(std::string_view playlistID) {
    const bool plain = !playlistID.empty() && playlistID.size() <= 64 && playlistID != "imported" &&
                       std::all_of(playlistID.begin(), playlistID.end(), [](char c) {
                           return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                                  (c >= 'a' && c <= 'z') || c == '-' || c == '_';
                       });
    if (plain) return "orders/" + std::string(playlistID) + ".plist";
    // FNV-1a: a stable name for any ID; the ID inside the file settles a clash.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : playlistID)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return "orders/~" + std::string(hex) + ".plist";
}

std::string encodeOrder(std::string_view playlistID, const std::vector<std::string>& songIDs) {
    plist::Array songs;
    songs.reserve(songIDs.size());
    for (const auto& id : songIDs)
        songs.emplace_back(id);
    return plist::writeXml(plist::Dict{{"playlist", std::string(playlistID)}, {"songs", std::move(songs)}});
}

std::optional<std::vector<std::string>> decodeOrder(std::string_view bytes, std::string_view playlistID,
                                                    const PropertyListReader& reader) {
    const auto parsed = reader.parse(bytes);
    if (!parsed.document) return std::nullopt;
    const auto root = parsed.document->root();
    if (!root.is(plist::Type::Dict) || root.stringFor("playlist") != playlistID) return std::nullopt;
    const auto songs = root.find("songs");
    if (!songs.valid()) return std::nullopt;
    return songIDsFrom(plist::Value::copyOf(songs));
}

} // namespace platter
