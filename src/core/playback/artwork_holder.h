#pragma once

// The one value a background artwork read shares with the main thread: the requester reads it
// once, right after starting the read; a read that finishes later tells whether the requester
// already looked, so the image can still be delivered.

#include <mutex>
#include <optional>
#include <string>

namespace platter {

class ArtworkHolder {
public:
    // The requester's one look.
    std::optional<std::string> read() {
        std::lock_guard lock(mutex_);
        looked_ = true;
        return image_;
    }
    // The background read's result; true when the requester looked before it arrived and
    // missed it.
    bool fill(std::optional<std::string> image) {
        std::lock_guard lock(mutex_);
        image_ = std::move(image);
        return looked_ && image_.has_value();
    }

private:
    std::mutex mutex_;
    std::optional<std::string> image_;
    bool looked_ = false;
};

} // namespace platter
