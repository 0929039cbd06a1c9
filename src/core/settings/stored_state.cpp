#include "core/settings/stored_state.h"

#include "core/plist/xml_writer.h"
#include "core/services/property_list_reader.h"
#include "core/settings/user_defaults.h"

#include <charconv>
#include <cmath>

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
        for (const auto& [disc, split] : setting)
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
        std::optional<AlbumSetting> setting;
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
            out[std::string(root.keyAt(i))] = std::move(*setting);
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
    if (!v) return {};
    const auto* dict = v->get<plist::Dict>();
    if (!dict) return ++dropped, PlaylistOrders{};
    PlaylistOrders out;
    for (const auto& [id, value] : *dict) {
        const auto* ids = value.get<plist::Array>();
        bool whole = ids != nullptr;
        std::vector<std::string> order;
        for (std::size_t i = 0; whole && i < ids->size(); ++i) {
            const auto* s = (*ids)[i].get<std::string>();
            whole = s != nullptr;
            if (whole) order.push_back(*s);
        }
        if (whole)
            out[id] = std::move(order);
        else
            ++dropped;
    }
    return out;
}

PlayingNumbers readPlayingNumbers(const UserDefaults& defaults, std::size_t& dropped) {
    const auto* v = defaults.objectForKey(keys::playingNumbers);
    if (!v) return {};
    const auto* dict = v->get<plist::Dict>();
    if (!dict) return ++dropped, PlayingNumbers{};
    PlayingNumbers out;
    for (const auto& [id, value] : *dict) {
        if (const auto* n = value.get<std::int64_t>())
            out[id] = *n;
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

plist::Value playingNumbersValue(const PlayingNumbers& numbers) {
    plist::Dict d;
    d.reserve(numbers.size());
    for (const auto& [id, n] : numbers)
        d.emplace_back(id, n);
    return d;
}

} // namespace platter
