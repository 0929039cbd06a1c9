#pragma once

#include <optional>
#include <string>

namespace platter {

// Modal dialogs. Each call blocks until the user answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The open panel: the chosen file's path, or nothing when the user cancelled.
    virtual std::optional<std::string> runOpenPanel() = 0;
};

} // namespace platter
