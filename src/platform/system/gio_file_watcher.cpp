#include "platform/system/gio_file_watcher.h"

#include <filesystem>
#include <gio/gio.h>

namespace platter {

namespace {

// The path and every file its symbolic links lead to, in order.
std::vector<std::filesystem::path> linkChain(const std::filesystem::path& path) {
    std::vector<std::filesystem::path> chain{path};
    std::error_code ec;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(chain.back(), ec); ++hops) {
        const auto next = std::filesystem::read_symlink(chain.back(), ec);
        if (ec) break;
        chain.push_back((next.is_absolute() ? next : chain.back().parent_path() / next).lexically_normal());
    }
    return chain;
}

// Events after which the names may lead elsewhere: the watch is armed again.
bool movesThings(GFileMonitorEvent event) {
    switch (event) {
    case G_FILE_MONITOR_EVENT_DELETED:
    case G_FILE_MONITOR_EVENT_CREATED:
    case G_FILE_MONITOR_EVENT_MOVED:
    case G_FILE_MONITOR_EVENT_RENAMED:
    case G_FILE_MONITOR_EVENT_MOVED_IN:
    case G_FILE_MONITOR_EVENT_MOVED_OUT:
    case G_FILE_MONITOR_EVENT_UNMOUNTED:
        return true;
    default:
        return false;
    }
}

} // namespace

GioFileWatcher::GioFileWatcher() = default;

GioFileWatcher::~GioFileWatcher() {
    stop();
}

void GioFileWatcher::stop() {
    if (armAgain_) g_source_remove(armAgain_);
    armAgain_ = 0;
    for (const auto& m : monitors_) {
        g_signal_handlers_disconnect_by_data(m->monitor, m.get());
        g_file_monitor_cancel(m->monitor);
        g_object_unref(m->monitor);
    }
    monitors_.clear();
}

void GioFileWatcher::watch(const std::string& path, std::function<void()> changed) {
    stop();
    path_ = path;
    changed_ = std::move(changed);
    arm();
}

void GioFileWatcher::arm() {
    for (const auto& file : linkChain(path_)) {
        // Without the move flag a file renamed over this one is told as a deletion and a
        // creation, both of which are changes to us.
        GFile* watched = g_file_new_for_path(file.c_str());
        add(g_file_monitor_file(watched, G_FILE_MONITOR_NONE, nullptr, nullptr), {});
        g_object_unref(watched);
        const auto folder = file.parent_path();
        if (!folder.has_relative_path()) continue; // the root folder is never replaced
        GFile* parent = g_file_new_for_path(folder.parent_path().c_str());
        add(g_file_monitor_directory(parent, G_FILE_MONITOR_NONE, nullptr, nullptr),
            folder.filename().string());
        g_object_unref(parent);
    }
}

void GioFileWatcher::add(GFileMonitor* monitor, std::string onlyChild) {
    if (!monitor) return; // nothing to watch with: the library is read again at Reset only
    auto& entry =
        monitors_.emplace_back(std::make_unique<Monitor>(Monitor{this, monitor, std::move(onlyChild)}));
    g_signal_connect(
        monitor, "changed",
        G_CALLBACK(+[](GFileMonitor*, GFile* file, GFile*, GFileMonitorEvent event, gpointer data) {
            if (event == G_FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED) return;
            const auto* m = static_cast<Monitor*>(data);
            if (!m->onlyChild.empty()) {
                char* name = g_file_get_basename(file);
                const bool ours = name && m->onlyChild == name;
                g_free(name);
                if (!ours) return;
            }
            auto* watcher = m->owner;
            // Armed again later: this monitor may be the one replaced.
            if (!m->onlyChild.empty() || movesThings(event)) watcher->armAgainSoon();
            if (watcher->changed_) watcher->changed_();
        }),
        entry.get());
}

void GioFileWatcher::armAgainSoon() {
    if (armAgain_) return;
    armAgain_ = g_idle_add(
        +[](gpointer self) -> gboolean {
            auto* watcher = static_cast<GioFileWatcher*>(self);
            watcher->armAgain_ = 0;
            watcher->stop();
            watcher->arm();
            return G_SOURCE_REMOVE;
        },
        this);
}

} // namespace platter
