#pragma once

// The application controller wired to the real readers but to no window and no user: every
// dialog is cancelled, and the settings live in memory. The model is built exactly as the
// application builds it.

#include "core/app/app_delegate.h"
#include "core/services/artwork_reader.h"
#include "core/services/audio_files.h"
#include "core/services/dialogs.h"
#include "core/services/queue_player.h"
#include "core/services/seeded_random.h"
#include "core/services/system_info.h"
#include "core/services/task_runner.h"
#include "core/services/view_refresh.h"
#include "core/persistence/memory_settings_file.h"
#include "core/persistence/memory_state_storage.h"
#include "core/persistence/user_defaults.h"
#include "core/text/string_rules.h"
#include "platform/files/atomic_file_writer.h"
#include "platform/files/local_file_system.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/text/icu_unicode_rules.h"

#include <memory>
#include <optional>
#include <string>

namespace platter {

// Every dialog answered as if the user cancelled it.
struct CancellingDialogs final : Dialogs {
    std::optional<std::string> runOpenPanel() override { return std::nullopt; }
    std::optional<std::string> runSavePanel(const SavePanel&) override { return std::nullopt; }
    std::size_t runAlert(const Alert& alert) override {
        return alert.buttons.empty() ? 0 : alert.buttons.size() - 1;
    }
    std::optional<PreferencesChoice> runPreferences(const Preferences&) override { return std::nullopt; }
    std::optional<std::string> runFolderPanel(const std::string&) override { return std::nullopt; }
};

// A system without a region or a home folder: nothing of the user's is found.
struct NeutralSystem final : SystemInfo {
    std::optional<std::string> regionCode() const override { return std::nullopt; }
    std::string homeDirectory() const override { return "/nonexistent"; }
    std::string musicDirectory() const override { return "/nonexistent"; }
};

// No audio: nothing is played without a window. Background work runs at once, or not at all
// when nobody asked for its results (the search for the songs' files).
struct NoAudio final : AudioFiles, ArtworkReader, QueuePlayerFactory, TaskRunner {
    bool runBackgroundWork = false;
    std::optional<double> duration(const std::string&) const override { return std::nullopt; }
    std::optional<std::string> artwork(const std::string&) const override { return std::nullopt; }
    std::unique_ptr<QueuePlayer> create() override { return nullptr; }
    void runInBackground(std::function<void()> work) override {
        if (runBackgroundWork) work();
    }
    void runOnMainThread(std::function<void()> task) override { task(); }
    // Nothing waits for later without an event loop.
    void runOnMainThreadAfter(std::chrono::milliseconds, std::function<void()>) override {}
};

class HeadlessApp {
public:
    // Builds the model of the library at `libraryPath` over the given stored settings (the
    // library's location is added); `ready()` tells whether the library was usable. With
    // `findFiles` the songs' files are looked for as well, under the stored music folders.
    // Background work runs at once unless `tasks` is given; `view` hears the controller's
    // refreshes.
    explicit HeadlessApp(const std::string& libraryPath, std::uint64_t seed = 1, plist::Dict settings = {},
                         bool findFiles = false, TaskRunner* tasks = nullptr, ViewRefresh* view = nullptr);

    bool ready() const { return ready_; }
    AppDelegate& app() { return *app_; }
    FileWriter& files() { return files_; }

private:
    PlistFileReader reader_;
    IcuUnicodeRules unicode_;
    StringRules rules_{unicode_};
    LocalFileSystem fileSystem_;
    MemoryStateStorage state_;
    MemorySettingsFile settingsFile_;
    std::unique_ptr<UserDefaults> defaults_;
    CancellingDialogs dialogs_;
    AtomicFileWriter files_;
    NoAudio audio_;
    NeutralSystem system_;
    SeededRandom random_;
    std::unique_ptr<AppDelegate> app_;
    bool ready_ = false;
};

} // namespace platter
