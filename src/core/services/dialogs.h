#pragma once

#include "core/services/replay_gain.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platter {

// Modal dialogs. Each call blocks until the user answers.
class Dialogs {
public:
    struct SavePanel {
        std::string message;
        std::vector<std::string> allowedFileTypes; // extensions without the dot
        std::string defaultName;
        bool canCreateDirectories = true;
    };
    enum class AlertStyle { Informational, Warning, Critical };
    struct Alert {
        AlertStyle style = AlertStyle::Warning;
        std::string message;
        std::string informativeText;
        std::vector<std::string> buttons; // the first is the default
    };

    // The preferences window: the countries to choose from, the row shown selected, the ratio.
    struct Preferences {
        std::vector<std::string> countries;
        std::optional<std::size_t> selectedCountry;
        std::int64_t ratio = 25;
        std::vector<std::string> musicFolders;
        ReplayGain replayGain;
    };
    // What the user confirmed with OK: the selected row (if any), the ratio as typed and the
    // music folders as the list shows them.
    struct PreferencesChoice {
        std::optional<std::size_t> selectedCountry;
        std::string ratioText;
        std::vector<std::string> musicFolders;
        ReplayGain replayGain;
    };

    // The answer to the panel explaining that Platter cannot go on without a library file.
    enum class NoLibraryChoice { ChooseAgain, Quit };

    virtual ~Dialogs() = default;
    // The open panel: the chosen file's path, or nothing when the user cancelled.
    virtual std::optional<std::string> runOpenPanel() = 0;
    // The save panel: the chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> runSavePanel(const SavePanel& panel) = 0;
    // The chooser of a folder that holds the library's music: the chosen folder, or nothing
    // when the user cancelled.
    virtual std::optional<std::string> runFolderPanel() = 0;
    // The index of the button the user chose.
    virtual std::size_t runAlert(const Alert& alert) = 0;
    // Said when the user closed the open panel while no library is known: why Platter needs the
    // file and the paths where it looked; the user chooses again or quits.
    virtual NoLibraryChoice runNoLibraryAlert(const std::vector<std::string>& lookedAt) = 0;
    // The modal preferences window; nothing when the user cancelled.
    virtual std::optional<PreferencesChoice> runPreferences(const Preferences& preferences) = 0;
};

} // namespace platter
