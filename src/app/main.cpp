// Platter: wires the real components to the application controller and the window, and runs.

#include "core/app/app_delegate.h"
#include "core/persistence/user_defaults.h"
#include "core/services/log.h"
#include "core/services/seeded_random.h"
#include "core/text/string_rules.h"
#include "platform/audio/gst_queue_player.h"
#include "platform/dbus/mpris_service.h"
#include "platform/dbus/song_notifier.h"
#include "platform/files/atomic_file_writer.h"
#include "platform/files/local_file_system.h"
#include "platform/media/taglib_media_files.h"
#include "platform/net/curl_http_fetch.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/settings/settings_file_store.h"
#include "platform/settings/state_directory.h"
#include "platform/system/gio_file_watcher.h"
#include "platform/system/glib_task_runner.h"
#include "platform/system/system_environment.h"
#include "platform/text/icu_country_names.h"
#include "platform/text/icu_unicode_rules.h"
#include "ui/main_window.h"
#include "ui/playlists_view_controller.h"
#include "ui/qt_dialogs.h"
#include "ui/view_controller.h"

#include <QApplication>
#include <QIcon>
#include <QListView>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// For the start-up benchmark: with PLATTER_LAUNCH_NS set to the launch time (nanoseconds of the
// system clock), the time until the playlists list first paints with rows is printed, and the
// application quits.
class FirstPaintProbe final : public QObject {
public:
    FirstPaintProbe(QListView* list, long long launchNs) : list_(list), launchNs_(launchNs) {
        list_->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && list_->model()->rowCount() > 0 && !done_) {
            done_ = true;
            const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
            std::printf("shown after %.3f s\n", static_cast<double>(now - launchNs_) / 1e9);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QListView* list_;
    long long launchNs_;
    bool done_ = false;
};

} // namespace

int main(int argc, char** argv) {
    if (const char* categories = std::getenv("PLATTER_LOG")) platter::log::enable(categories);
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--verbose") platter::log::enable("all");
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Platter"));
    QApplication::setApplicationVersion(QStringLiteral(PLATTER_VERSION));
    QApplication::setDesktopFileName(QString::fromLatin1(platter::MprisService::desktopEntry));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/platter.png")));

    using namespace platter;
    // One Platter a session: a second start shows the first one's window and leaves.
    const auto claim = MprisService::claimName();
    if (claim == MprisService::Claim::AnotherRuns) return 0;

    // The web engine refuses the root user unless its sandbox is turned off, and turning it off
    // is not ours to do: as root the window goes without its store-link panes.
    const bool linkPanes = ::geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX");
    PlistFileReader reader;
    IcuUnicodeRules unicode;
    StringRules rules{unicode};
    SettingsFileStore settingsFile(SettingsFileStore::defaultPath(), reader);
    UserDefaults defaults(settingsFile);
    QtDialogs dialogs;
    AtomicFileWriter files;
    LocalFileSystem fileSystem;
    StateDirectory state(StateDirectory::defaultPath());
    TaglibMediaFiles media;
    GstQueuePlayerFactory players;
    CurlHttpFetch http;
    IcuCountryNames countries;
    SystemEnvironment system;
    SeededRandom random;
    GioFileWatcher libraryWatcher;
    // Background work uses the services above, so the runner stops before they go.
    GlibTaskRunner tasks;
    AppDelegate app({.defaults = defaults,
                     .plistReader = reader,
                     .dialogs = dialogs,
                     .files = files,
                     .audioFiles = media,
                     .artwork = media,
                     .players = players,
                     .tasks = tasks,
                     .system = system,
                     .random = random,
                     .rules = rules,
                     .fileSystem = fileSystem,
                     .state = state,
                     .libraryWatcher = &libraryWatcher,
                     .http = linkPanes ? &http : nullptr,
                     .countries = &countries});

    MainWindow window(app, linkPanes);
    window.keepLayoutIn(QString::fromStdString(StateDirectory::defaultPath() + "/window.conf"));
    dialogs.setParent(&window);
    QStringList notices;
    if (players.silent()) notices << QStringLiteral("No audio output device was found: songs play silently.");
    if (const auto notice = MainWindow::settingsFileNotice(defaults.loadResult()); !notice.isEmpty())
        notices << notice;
    window.setNotice(notices.join(QStringLiteral("  ")));

    std::unique_ptr<FirstPaintProbe> probe;
    if (const char* launch = std::getenv("PLATTER_LAUNCH_NS"))
        probe = std::make_unique<FirstPaintProbe>(window.viewController()->playlistsViewCont()->myTableView(),
                                                  std::atoll(launch));

    std::unique_ptr<MprisService> mpris;
    if (claim == MprisService::Claim::Ours) {
        const char* cache = std::getenv("XDG_CACHE_HOME");
        const auto cacheFolder =
            (cache && *cache == '/' ? std::string(cache) : system.homeDirectory() + "/.cache") +
            "/platter/artwork";
        mpris = std::make_unique<MprisService>(app,
                                               MprisService::Hooks{.raise =
                                                                       [&window] {
                                                                           window.show();
                                                                           window.raise();
                                                                           window.activateWindow();
                                                                       },
                                                                   .quit = [&window] { window.close(); }},
                                               cacheFolder);
    }

    app.applicationWillFinishLaunching(window.viewController());
    window.show();
    if (app.applicationDidFinishLaunching() == AppDelegate::LaunchResult::Cancelled) return 0;
    if (!app.settingsNotice().empty())
        window.setNotice((notices << QString::fromStdString(app.settingsNotice())).join(QStringLiteral("  ")));
    return QApplication::exec();
}
