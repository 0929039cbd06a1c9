#include "tools/inspect/headless_app.h"

#include "core/model/file_url.h"

#include <filesystem>

namespace platter {

HeadlessApp::HeadlessApp(const std::string& libraryPath, std::uint64_t seed, plist::Dict settings,
                         bool findFiles, TaskRunner* tasks, ViewRefresh* view)
    : settingsFile_(std::move(settings)), random_(seed) {
    audio_.runBackgroundWork = findFiles;
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(libraryPath, ec);
    plist::set(settingsFile_.values, keys::xmlUrl, fileUrlFromPath(ec ? libraryPath : absolute.string()));
    defaults_ = std::make_unique<UserDefaults>(settingsFile_);
    app_ = std::make_unique<AppDelegate>(AppServices{.defaults = *defaults_,
                                                     .plistReader = reader_,
                                                     .dialogs = dialogs_,
                                                     .files = files_,
                                                     .audioFiles = audio_,
                                                     .artwork = audio_,
                                                     .players = audio_,
                                                     .tasks = tasks ? *tasks : audio_,
                                                     .system = system_,
                                                     .random = random_,
                                                     .rules = rules_,
                                                     .fileSystem = fileSystem_,
                                                     .state = state_});
    app_->applicationWillFinishLaunching(view);
    ready_ = app_->applicationDidFinishLaunching() == AppDelegate::LaunchResult::Ready;
}

} // namespace platter
