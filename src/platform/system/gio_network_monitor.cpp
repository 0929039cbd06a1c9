#include "platform/system/gio_network_monitor.h"

#include <gio/gio.h>

namespace platter {

GioNetworkMonitor::GioNetworkMonitor(std::function<void()> returned) : returned_(std::move(returned)) {
    auto* monitor = g_network_monitor_get_default();
    if (!monitor) return;
    monitor_ = g_object_ref(monitor);
    available_ = g_network_monitor_get_network_available(monitor);
    handler_ = g_signal_connect(monitor, "network-changed", G_CALLBACK(&GioNetworkMonitor::changed), this);
}

GioNetworkMonitor::~GioNetworkMonitor() {
    if (!monitor_) return;
    g_signal_handler_disconnect(monitor_, handler_);
    g_object_unref(monitor_);
}

void GioNetworkMonitor::changed(void*, int available, void* self) {
    auto& me = *static_cast<GioNetworkMonitor*>(self);
    // The monitor also speaks when routes change while the network stays: only a return counts.
    const bool returned = available && !me.available_;
    me.available_ = available;
    if (returned && me.returned_) me.returned_();
}

} // namespace platter
