#include "core/model/song_locator.h"

#include "core/containers/flat_hash_map.h"
#include "core/model/file_url.h"
#include "core/services/file_system.h"
#include "core/text/string_rules.h"

#include <algorithm>

namespace platter {

namespace {

constexpr std::size_t maxMappings = 32;

std::string withoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

std::vector<std::string_view> split(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const auto slash = path.find('/');
        const auto part = path.substr(0, slash);
        if (!part.empty() && part != ".") parts.push_back(part);
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

std::string join(std::string base, const std::vector<std::string_view>& parts, std::size_t from,
                 std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        base += '/';
        base += parts[i];
    }
    return base;
}

// `path` without its last `count` names.
std::string dropLast(std::string path, std::size_t count) {
    for (; count > 0; --count)
        path.resize(path.rfind('/'));
    return path;
}

bool isFileScheme(std::string_view url) {
    constexpr std::string_view scheme = "file:";
    return url.size() >= scheme.size() &&
           std::equal(scheme.begin(), scheme.end(), url.begin(),
                      [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + 32 : b); });
}

} // namespace

SongLocator::SongLocator(const FileSystem& files, const StringRules& rules, const Places& places)
    : files_(files), rules_(rules), libraryFolder_(withoutTrailingSlashes(places.libraryFolder)) {
    if (const auto folder = pathFromFileUrl(places.musicFolderUrl)) {
        musicFolder_ = withoutTrailingSlashes(*folder);
        const auto parts = split(musicFolder_);
        if (!parts.empty()) musicFolderName_ = parts.back();
    }
    std::vector<std::string> candidates = places.chosenFolders;
    candidates.push_back(libraryFolder_);
    if (const auto slash = libraryFolder_.rfind('/'); slash != std::string::npos && slash > 0)
        candidates.push_back(libraryFolder_.substr(0, slash));
    candidates.push_back(places.userMusicFolder);
    for (auto& c : candidates) {
        if (c.empty()) continue;
        // The file system's root stands as the empty path, which the walk lists as "/".
        c = withoutTrailingSlashes(std::move(c));
        if (std::find(roots_.begin(), roots_.end(), c) != roots_.end()) continue;
        if (files_.isDirectory(c.empty() ? "/" : c)) roots_.push_back(std::move(c));
    }
}

SongFile SongLocator::locate(std::optional<std::string_view> locationUrl) {
    using Status = SongFile::Status;
    if (!locationUrl || !isFileScheme(*locationUrl)) return {Status::NoFile, {}};
    const auto written = pathFromFileUrl(*locationUrl);
    // A file URL of another host or with broken escapes names a file all the same, one that
    // cannot be looked for.
    if (!written) return {Status::NotFound, std::string(*locationUrl)};
    if (files_.isRegularFile(*written)) return {Status::Found, *written};
    if (auto found = fromMappings(*written)) return {Status::Found, std::move(*found)};
    for (const auto match : {Match::Exact, Match::Folded})
        if (auto found = search(*written, match)) return {Status::Found, std::move(*found)};

    // Where a copy of the whole library folder would hold it, or else where it was.
    const auto parts = split(*written);
    const auto inside = musicFolderPrefix(parts);
    if (inside && !libraryFolder_.empty() && !musicFolderName_.empty())
        return {Status::NotFound, join(libraryFolder_ + '/' + musicFolderName_, parts, *inside, parts.size())};
    return {Status::NotFound, *written};
}

std::optional<std::size_t> SongLocator::musicFolderPrefix(const std::vector<std::string_view>& parts) {
    if (musicFolder_.empty()) return std::nullopt;
    const auto folder = split(musicFolder_);
    if (folder.size() >= parts.size()) return std::nullopt;
    // Windows did not care how the case of a name was typed, so neither does this.
    for (std::size_t i = 0; i < folder.size(); ++i)
        if (folder[i] != parts[i] && fold(folder[i]) != fold(parts[i])) return std::nullopt;
    return folder.size();
}

std::optional<std::string> SongLocator::fromMappings(const std::string& path) {
    for (auto m = mappings_.begin(); m != mappings_.end(); ++m) {
        if (!path.starts_with(m->written) || path.size() <= m->written.size() || path[m->written.size()] != '/')
            continue;
        const std::string_view rest = std::string_view(path).substr(m->written.size());
        auto found = m->local + std::string(rest);
        if (!files_.isRegularFile(found)) {
            auto walked = walk(m->local, split(rest), 0, Match::Folded);
            if (!walked) continue;
            found = std::move(*walked);
        }
        std::rotate(mappings_.begin(), m, m + 1);
        return found;
    }
    return std::nullopt;
}

std::optional<std::string> SongLocator::search(const std::string& path, Match match) {
    const auto parts = split(path);
    if (parts.empty()) return std::nullopt;
    // As it stands (tried exactly already), with its names matched loosely.
    if (match == Match::Folded)
        if (auto found = walk("", parts, 0, match)) return found;

    // Below the music folder, under each root directly or under the music folder's own name.
    if (const auto inside = musicFolderPrefix(parts)) {
        const auto rest = parts.size() - *inside;
        const std::string written = join("", parts, 0, *inside);
        std::vector<std::string_view> named{musicFolderName_};
        named.insert(named.end(), parts.begin() + static_cast<std::ptrdiff_t>(*inside), parts.end());
        for (const auto& root : roots_) {
            std::optional<std::string> found;
            if (match == Match::Exact) {
                for (const auto& base : {root, root + '/' + musicFolderName_}) {
                    if (auto candidate = join(base, parts, *inside, parts.size()); files_.isRegularFile(candidate)) {
                        found = std::move(candidate);
                        break;
                    }
                }
            } else {
                found = walk(root, parts, *inside, match);
                if (!found && !musicFolderName_.empty()) found = walk(root, named, 0, match);
            }
            if (found) {
                remember(written, dropLast(*found, rest));
                return found;
            }
        }
    }

    // Elsewhere (another drive): the longest tail of the path found under a root, the whole
    // path first (a copied disk kept whole in a folder).
    for (std::size_t from = 0; from < parts.size(); ++from) {
        for (const auto& root : roots_) {
            if (auto found = walk(root, parts, from, match)) {
                remember(join("", parts, 0, from), dropLast(*found, parts.size() - from));
                return found;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> SongLocator::walk(const std::string& base, const std::vector<std::string_view>& parts,
                                             std::size_t from, Match match) {
    if (from >= parts.size()) return std::nullopt;
    const auto& names = listing(base).byFold;
    const auto it = names.find(fold(parts[from]));
    if (it == names.end()) return std::nullopt;
    const auto below = [&](std::string_view name) -> std::optional<std::string> {
        auto path = base + '/' + std::string(name);
        if (from + 1 < parts.size()) return walk(path, parts, from + 1, match);
        if (files_.isRegularFile(path)) return path;
        return std::nullopt;
    };
    // Names that differ only in case can stand side by side here (two folders "ABBA" and
    // "Abba"): the exact one first, then, matching loosely, each of the others.
    const auto& spellings = it->second;
    if (std::find(spellings.begin(), spellings.end(), parts[from]) != spellings.end())
        if (auto found = below(parts[from])) return found;
    if (match == Match::Exact) return std::nullopt;
    for (const auto& name : spellings)
        if (name != parts[from])
            if (auto found = below(name)) return found;
    return std::nullopt;
}

const SongLocator::Listing& SongLocator::listing(const std::string& directory) {
    const auto cached = listings_.find(directory);
    if (cached != listings_.end()) return cached->second;
    Listing l;
    if (auto names = files_.list(directory.empty() ? "/" : directory))
        for (auto& name : *names) {
            auto key = fold(name);
            l.byFold[std::move(key)].push_back(std::move(name));
        }
    return listings_.emplace(directory, std::move(l)).first->second;
}

std::string SongLocator::fold(std::string_view name) const {
    return rules_.key(rules_.lowerCase(name));
}

void SongLocator::remember(std::string written, std::string local) {
    const auto same = std::find_if(mappings_.begin(), mappings_.end(),
                                   [&](const Mapping& m) { return m.written == written; });
    if (same != mappings_.end()) mappings_.erase(same);
    mappings_.insert(mappings_.begin(), {std::move(written), std::move(local)});
    if (mappings_.size() > maxMappings) mappings_.pop_back();
}

void locateAll(SongFileResults& results, SongLocator& locator) {
    results.files.reserve(results.songs.size());
    FlatHashMap<const MySong*, SongFile::Status> statusOf;
    statusOf.reserve(results.songs.size());
    for (const auto& song : results.songs) {
        results.files.push_back(locator.locate(song->url()));
        results.library.add(results.files.back().status);
        statusOf[song.get()] = results.files.back().status;
    }
    for (const auto& playlist : results.playlists) {
        auto& counts = results.playlistFiles.emplace_back();
        for (const auto& song : playlist->songs())
            if (const auto* status = statusOf.find(song.get())) counts.add(*status);
    }
}

} // namespace platter
