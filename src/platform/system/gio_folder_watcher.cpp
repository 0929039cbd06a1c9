#include "platform/system/gio_folder_watcher.h"

#include <filesystem>
#include <gio/gio.h>

namespace platter {

namespace {
// Beyond this many folders the rest go unwatched: inotify's watches are a limited resource of
// the whole session, and the folders are scanned again at the next start anyway.
constexpr std::size_t maxFolders = 20000;
} // namespace

GioFolderWatcher::~GioFolderWatcher() { stop(); }

void GioFolderWatcher::stop() {
    if (armAgain_) g_source_remove(armAgain_);
    if (armStep_) g_source_remove(armStep_);
    armAgain_ = armStep_ = 0;
    walk_.reset();
    toWalk_.clear();
    for (auto* monitor : monitors_) {
        g_signal_handlers_disconnect_by_data(monitor, this);
        g_file_monitor_cancel(monitor);
        g_object_unref(monitor);
    }
    monitors_.clear();
}

void GioFolderWatcher::watchFolders(const std::vector<std::string>& folders, std::function<void()> changed) {
    stop();
    folders_ = folders;
    changed_ = std::move(changed);
    arm();
}

void GioFolderWatcher::arm() {
    toWalk_.assign(folders_.rbegin(), folders_.rend());
    walk_.reset();
    // Some hundred entries per turn of the main loop: a music folder of a thousand albums takes
    // a tenth of a second to watch at once.
    if (!armStep_)
        armStep_ = g_idle_add_full(
            G_PRIORITY_DEFAULT,
            +[](gpointer self) -> gboolean {
                auto* watcher = static_cast<GioFolderWatcher*>(self);
                if (watcher->armSome()) return G_SOURCE_CONTINUE;
                watcher->armStep_ = 0;
                return G_SOURCE_REMOVE;
            },
            this, nullptr);
}

bool GioFolderWatcher::armSome() {
    namespace fs = std::filesystem;
    constexpr int entriesPerTurn = 400;
    int budget = entriesPerTurn;
    while (budget > 0 && monitors_.size() < maxFolders) {
        std::error_code ec;
        if (!walk_) {
            if (toWalk_.empty()) return false;
            const auto folder = std::move(toWalk_.back());
            toWalk_.pop_back();
            if (!fs::is_directory(folder, ec)) continue;
            watch(folder);
            walk_ = std::make_unique<fs::recursive_directory_iterator>(
                folder, fs::directory_options::skip_permission_denied, ec);
            if (ec || *walk_ == fs::recursive_directory_iterator()) walk_.reset();
            continue;
        }
        auto& it = *walk_;
        if (it->is_directory(ec)) {
            if (it->path().filename().string().starts_with('.')) {
                it.disable_recursion_pending();
            } else {
                watch(it->path().string());
                budget -= 10; // a watch costs about as much as ten entries listed
            }
        }
        it.increment(ec);
        if (ec || it == fs::recursive_directory_iterator()) walk_.reset();
        --budget;
    }
    return monitors_.size() < maxFolders && (walk_ || !toWalk_.empty());
}

void GioFolderWatcher::watch(const std::string& folder) {
    GFile* file = g_file_new_for_path(folder.c_str());
    auto* monitor = g_file_monitor_directory(file, G_FILE_MONITOR_WATCH_MOVES, nullptr, nullptr);
    g_object_unref(file);
    if (!monitor) return;
    monitors_.push_back(monitor);
    g_signal_connect(monitor, "changed",
                     G_CALLBACK(+[](GFileMonitor*, GFile* child, GFile* other, GFileMonitorEvent event, gpointer data) {
                         if (event == G_FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED ||
                             event == G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT)
                             return;
                         auto* self = static_cast<GioFolderWatcher*>(data);
                         // A new folder needs a watch of its own.
                         if (event == G_FILE_MONITOR_EVENT_CREATED || event == G_FILE_MONITOR_EVENT_MOVED_IN ||
                             event == G_FILE_MONITOR_EVENT_RENAMED) {
                             char* path = g_file_get_path(event == G_FILE_MONITOR_EVENT_RENAMED && other ? other : child);
                             std::error_code ec;
                             if (path && std::filesystem::is_directory(path, ec)) self->armAgainSoon();
                             g_free(path);
                         }
                         if (self->changed_) self->changed_();
                     }),
                     this);
}

void GioFolderWatcher::armAgainSoon() {
    if (armAgain_) return;
    armAgain_ = g_idle_add(
        +[](gpointer self) -> gboolean {
            auto* watcher = static_cast<GioFolderWatcher*>(self);
            watcher->armAgain_ = 0;
            // stop() would remove this very source; it is already spent.
            auto folders = watcher->folders_;
            auto changed = std::move(watcher->changed_);
            watcher->stop();
            watcher->folders_ = std::move(folders);
            watcher->changed_ = std::move(changed);
            watcher->arm();
            return G_SOURCE_REMOVE;
        },
        this);
}

} // namespace platter
