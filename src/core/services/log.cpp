#include "core/services/log.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>

namespace platter::log {

namespace {

constexpr std::array<std::string_view, 4> names = {"player", "store", "state", "library"};
std::atomic<unsigned> enabledMask{0};

const auto started = std::chrono::steady_clock::now();

} // namespace

void enable(std::string_view categories) {
    while (!categories.empty()) {
        const auto comma = categories.find(',');
        const auto name = categories.substr(0, comma);
        for (std::size_t i = 0; i < names.size(); ++i)
            if (name == names[i] || name == "all") enabledMask |= 1u << i;
        categories = comma == std::string_view::npos ? std::string_view() : categories.substr(comma + 1);
    }
}

bool enabled(Category category) {
    return (enabledMask.load(std::memory_order_relaxed) & (1u << static_cast<unsigned>(category))) != 0;
}

void write(Category category, std::string_view message) {
    if (!enabled(category)) return;
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%.3f ", seconds);
    // One call per line, so lines from several threads do not interleave.
    const auto line =
        stamp + std::string(names[static_cast<std::size_t>(category)]) + "] " + std::string(message) + "\n";
    std::fputs(line.c_str(), stderr);
}

} // namespace platter::log
