#pragma once

#include <functional>

namespace platter {

// Hears from GIO's network monitor (NetworkManager's view where it runs, else the kernel's
// routes) that the network came back, through the default GLib main context.
class GioNetworkMonitor {
public:
    explicit GioNetworkMonitor(std::function<void()> returned);
    ~GioNetworkMonitor();
    GioNetworkMonitor(const GioNetworkMonitor&) = delete;
    GioNetworkMonitor& operator=(const GioNetworkMonitor&) = delete;

private:
    static void changed(void* monitor, int available, void* self);

    std::function<void()> returned_;
    void* monitor_ = nullptr;
    unsigned long handler_ = 0;
    bool available_ = true;
};

} // namespace platter
