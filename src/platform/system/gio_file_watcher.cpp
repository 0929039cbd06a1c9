#include "platform/system/gio_file_watcher.h"

#include <gio/gio.h>

namespace platter {

GioFileWatcher::GioFileWatcher() = default;

GioFileWatcher::~GioFileWatcher() {
    stop();
}

void GioFileWatcher::stop() {
    if (!monitor_) return;
    g_signal_handlers_disconnect_by_data(monitor_, this);
    g_file_monitor_cancel(monitor_);
    g_object_unref(monitor_);
    monitor_ = nullptr;
}

void GioFileWatcher::watch(const std::string& path, std::function<void()> changed) {
    stop();
    changed_ = std::move(changed);
    GFile* file = g_file_new_for_path(path.c_str());
    // Without the move flag a file renamed over this one is told as a deletion and a creation,
    // both of which are changes to us.
    monitor_ = g_file_monitor_file(file, G_FILE_MONITOR_NONE, nullptr, nullptr);
    g_object_unref(file);
    if (!monitor_) return; // nothing to watch with: the library is read again at Reset only
    g_signal_connect(monitor_, "changed",
                     G_CALLBACK(+[](GFileMonitor*, GFile*, GFile*, GFileMonitorEvent event, gpointer self) {
                         if (event == G_FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED) return;
                         auto* watcher = static_cast<GioFileWatcher*>(self);
                         if (watcher->changed_) watcher->changed_();
                     }),
                     this);
}

} // namespace platter
