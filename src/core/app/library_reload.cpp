#include "core/app/library_reload.h"

#include "core/app/state_keeper.h"
#include "core/app/tracked_dialogs.h"
#include "core/model/file_url.h"
#include "core/persistence/user_defaults.h"
#include "core/services/file_watcher.h"
#include "core/services/log.h"
#include "core/services/property_list_reader.h"
#include "core/services/system_info.h"
#include "core/services/task_runner.h"

#include <filesystem>

namespace platter {

LibraryReload::LibraryReload(Services services, StateKeeper& state, const AlbumSettings& albumSettings,
                             std::function<void(Library)> changed)
    : services_(services), state_(state), albumSettings_(albumSettings), changed_(std::move(changed)) {}

std::string LibraryReload::path() const { return pathFromFileUrl(url_).value_or(""); }

std::shared_ptr<const plist::Document> LibraryReload::read(const std::string& url) {
    using Why = Dialogs::NotALibrary::Why;
    const auto path = pathFromFileUrl(url);
    if (!path) {
        why_ = Why::NoFile;
        return nullptr;
    }
    auto result = services_.reader.readFile(*path);
    if (!result.document) {
        why_ = Why::Unreadable;
        detail_ = result.error;
        log::write(log::Category::Library, *path + ": " + result.error);
        return nullptr;
    }
    problem_ = libraryProblemOf(*result.document);
    if (!problem_) return std::move(result.document);
    why_ = Why::NoLibrary;
    log::write(log::Category::Library, *path + ": " + libraryProblem(*result.document));
    return nullptr;
}

std::shared_ptr<const plist::Document> LibraryReload::locate() {
    const auto stored = services_.defaults.stringForKey(keys::xmlUrl);
    std::vector<std::string> candidates;
    if (stored && pathFromFileUrl(*stored)) {
        candidates = {*stored};
    } else if (stored && stored->starts_with('/')) {
        candidates = {fileUrlFromPath(*stored)};
    } else {
        const auto home = services_.system.homeDirectory();
        candidates = {fileUrlFromPath(home + std::string(defaultSuffix)),
                      fileUrlFromPath(home + std::string(exportedSuffix))};
    }
    url_ = candidates.front();
    for (const auto& url : candidates) {
        if (auto library = read(url)) {
            url_ = url;
            return library;
        }
    }
    std::vector<std::string> lookedAt;
    for (const auto& url : candidates)
        lookedAt.push_back(pathFromFileUrl(url).value_or(url));
    for (;;) {
        // A closed panel is no answer: the user is told why the file is needed and where
        // Platter looked, then chooses again or quits.
        const auto chosen = services_.dialogs.runOpenPanel();
        if (!chosen) {
            if (services_.dialogs.runNoLibraryAlert(lookedAt) == Dialogs::NoLibraryChoice::Quit) return nullptr;
            continue;
        }
        if (auto library = takeChosen(*chosen)) return library;
    }
}

std::shared_ptr<const plist::Document> LibraryReload::readAgain() { return read(url_); }

std::shared_ptr<const plist::Document> LibraryReload::choose() {
    const auto chosen = services_.dialogs.runOpenPanel();
    return chosen ? takeChosen(*chosen) : nullptr;
}

std::shared_ptr<const plist::Document> LibraryReload::takeChosen(const std::string& path) {
    const auto url = fileUrlFromPath(path);
    if (auto library = read(url)) {
        url_ = url;
        services_.defaults.setObject(keys::xmlUrl, url);
        state_.saveSettings();
        return library;
    }
    // Without a word the panel would just come back, and the user would not know why.
    services_.dialogs.tellNotALibrary({std::filesystem::path(path).filename().string(), why_, detail_, problem_});
    return nullptr;
}

void LibraryReload::watch() {
    // A reading of the old file still under way would replace the new model.
    ++change_;
    const auto path = pathFromFileUrl(url_);
    if (!services_.watcher || !path) return;
    services_.watcher->watch(*path, [this, alive = std::weak_ptr<int>(lifetime_)] {
        if (!alive.expired()) fileChanged();
    });
}

void LibraryReload::fileChanged() { later(++change_); }

void LibraryReload::later(std::uint64_t change) {
    services_.tasks.runOnMainThreadAfter(quietPeriod, [this, change, alive = std::weak_ptr<int>(lifetime_)] {
        // A later change waits its own quiet period.
        if (!alive.expired() && change == change_) reload(change);
    });
}

void LibraryReload::reload(std::uint64_t change) {
    const auto path = pathFromFileUrl(url_);
    if (!path) return;
    // The model is built where the file is read, off the main thread; the settings it is built
    // with are those of now.
    services_.tasks.runInBackground([&reader = services_.reader, &rules = services_.rules,
                                     &tasks = services_.tasks, settings = albumSettings_, path = *path, added = added_,
                                     alive = std::weak_ptr<int>(lifetime_), this, change] {
        auto document = reader.readFile(path).document;
        auto built = document ? buildLibrary(std::move(document), settings, rules, {}, added) : std::nullopt;
        auto shared = std::make_shared<std::optional<Library>>(std::move(built));
        tasks.runOnMainThread([alive, this, change, shared] {
            if (alive.expired() || change != change_ || !*shared) return;
            // A dialog's caller holds on to the model it showed: try again when it has closed.
            if (services_.dialogs.anyOpen()) return later(change);
            changed_(std::move(**shared));
        });
    });
}

} // namespace platter
