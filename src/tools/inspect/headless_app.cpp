#include "tools/inspect/headless_app.h"

#include "core/library/file_url.h"

#include <filesystem>

namespace platter {

HeadlessApp::HeadlessApp(const std::string& libraryPath, std::uint64_t seed) : random_(seed) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(libraryPath, ec);
    settingsFile_.values.emplace_back("xmlUrl", fileUrlFromPath(ec ? libraryPath : absolute.string()));
    settingsFile_.exists = true;
    defaults_ = std::make_unique<UserDefaults>(settingsFile_);
    app_ =
        std::make_unique<AppDelegate>(AppServices{*defaults_, reader_, dialogs_, system_, random_, rules_});
    ready_ = app_->applicationDidFinishLaunching() == AppDelegate::LaunchResult::Ready;
}

} // namespace platter
