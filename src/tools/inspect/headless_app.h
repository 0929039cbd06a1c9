#pragma once

// The application controller wired to the real readers but to no window, no dialogs and
// settings in memory: the model is built exactly as the application builds it.

#include "core/library/app_delegate.h"
#include "core/services/dialogs.h"
#include "core/services/seeded_random.h"
#include "core/services/system_info.h"
#include "core/settings/memory_settings_file.h"
#include "core/settings/user_defaults.h"
#include "core/text/string_rules.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/text/icu_unicode_rules.h"

#include <memory>
#include <optional>
#include <string>

namespace platter {

class HeadlessApp {
public:
    // Builds the model of the library at `libraryPath`; `ready()` tells whether it was usable.
    explicit HeadlessApp(const std::string& libraryPath, std::uint64_t seed = 1);

    bool ready() const { return ready_; }
    AppDelegate& app() { return *app_; }

private:
    struct NoDialogs final : Dialogs {
        std::optional<std::string> runOpenPanel() override { return std::nullopt; }
    };
    struct FixedSystem final : SystemInfo {
        std::optional<std::string> regionCode() const override { return std::nullopt; }
        std::string homeDirectory() const override { return "/nonexistent"; }
    };

    PlistFileReader reader_;
    IcuUnicodeRules unicode_;
    StringRules rules_{unicode_};
    MemorySettingsFile settingsFile_;
    std::unique_ptr<UserDefaults> defaults_;
    NoDialogs dialogs_;
    FixedSystem system_;
    SeededRandom random_;
    std::unique_ptr<AppDelegate> app_;
    bool ready_ = false;
};

} // namespace platter
