#include "app/platter_app.h"

#include "core/persistence/user_defaults.h"
#include "core/services/seeded_random.h"
#include "core/text/string_rules.h"
#include "platform/audio/gst_queue_player.h"
#include "platform/db/sqlite_library_database.h"
#include "platform/dbus/mpris_service.h"
#include "platform/dbus/song_notifier.h"
#include "platform/files/atomic_file_writer.h"
#include "platform/files/local_file_system.h"
#include "platform/media/qt_cover_store.h"
#include "platform/media/taglib_media_files.h"
#include "platform/net/curl_http_fetch.h"
#include "platform/plist/plist_file_reader.h"
#include "platform/settings/accounts_file.h"
#include "platform/settings/settings_file_store.h"
#include "platform/settings/state_directory.h"
#include "platform/system/gio_file_watcher.h"
#include "platform/system/gio_folder_watcher.h"
#include "platform/system/gio_network_monitor.h"
#include "platform/system/glib_task_runner.h"
#include "platform/system/system_environment.h"
#include "platform/text/icu_country_names.h"
#include "platform/text/icu_unicode_rules.h"
#include "ui/main_window.h"
#include "ui/notice_text.h"
#include "ui/qt_dialogs.h"
#include "ui/view_controller.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <algorithm>
#include <functional>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace platter {

namespace {

// The dialogs, until Platter is told to quit: from then on every panel and alert is answered
// as if closed at once, so that a start-up that asks again (for the library file) ends.
class QuittableDialogs final : public Dialogs {
public:
    explicit QuittableDialogs(QtDialogs& dialogs) : dialogs_(dialogs) {}
    void quit() {
        quitting_ = true;
        // A modal dialog runs its own event loop, which quitting the application's leaves running.
        for (int i = 0; i < 16; ++i) {
            auto* modal = QApplication::activeModalWidget();
            if (!modal) break;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    }
    std::optional<std::string> runOpenPanel() override {
        return quitting_ ? std::nullopt : dialogs_.runOpenPanel();
    }
    std::optional<std::string> runExportPanel(const std::string& playlist) override {
        return quitting_ ? std::nullopt : dialogs_.runExportPanel(playlist);
    }
    std::optional<std::string> runFolderPanel() override {
        return quitting_ ? std::nullopt : dialogs_.runFolderPanel();
    }
    // As closing them answers: no, and nothing more to tell.
    bool confirmReset() override { return !quitting_ && dialogs_.confirmReset(); }
    bool explainNothingPlayable(const NothingPlayable& nothing) override {
        return !quitting_ && dialogs_.explainNothingPlayable(nothing);
    }
    void tellNotALibrary(const NotALibrary& file) override {
        if (!quitting_) dialogs_.tellNotALibrary(file);
    }
    void tellExportFailed(const std::string& reason) override {
        if (!quitting_) dialogs_.tellExportFailed(reason);
    }
    void tellSongsLeftOut(const SongsLeftOut& export_) override {
        if (!quitting_) dialogs_.tellSongsLeftOut(export_);
    }
    NoLibraryChoice runNoLibraryAlert(const std::vector<std::string>& lookedAt) override {
        return quitting_ ? NoLibraryChoice::Quit : dialogs_.runNoLibraryAlert(lookedAt);
    }
    std::optional<PreferencesChoice> runPreferences(const Preferences& preferences) override {
        return quitting_ ? std::nullopt : dialogs_.runPreferences(preferences);
    }

private:
    QtDialogs& dialogs_;
    bool quitting_ = false;
};

// SIGTERM (shutdown, `kill`), SIGHUP (logout, a closed terminal) and SIGINT (Ctrl+C) end Platter
// as Quit does. The handler only writes a byte to a pipe; the event loop reads it and quits.
int signalPipe[2] = {-1, -1};

extern "C" void onQuitSignal(int) {
    const int saved = errno;
    const char byte = 1;
    if (::write(signalPipe[1], &byte, 1) < 0) {
        // The pipe is full: a quit is already on its way.
    }
    errno = saved;
}

class QuitSignals {
public:
    static constexpr int handled[] = {SIGTERM, SIGHUP, SIGINT};

    explicit QuitSignals(std::function<void()> quit) {
        if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
        notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [quit = std::move(quit)] {
            char bytes[16];
            while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
            }
            quit();
        });
        struct sigaction action = {};
        action.sa_handler = onQuitSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < std::size(handled); ++i)
            ::sigaction(handled[i], &action, &previous_[i]);
    }
    ~QuitSignals() {
        if (!notifier_) return;
        for (std::size_t i = 0; i < std::size(handled); ++i)
            ::sigaction(handled[i], &previous_[i], nullptr);
        notifier_.reset();
        ::close(signalPipe[0]);
        ::close(signalPipe[1]);
        signalPipe[0] = signalPipe[1] = -1;
    }
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction previous_[std::size(handled)] = {};
};

std::string cacheFolder(const SystemEnvironment& system) {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    return (cache && *cache == '/' ? std::string(cache) : system.homeDirectory() + "/.cache") + "/platter";
}

} // namespace

// In the order they are made; each uses only those above it.
struct PlatterApp::Parts {
    explicit Parts(const Options& options)
        : players(options.players ? *options.players : gstPlayers),
          app({.defaults = defaults,
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
               .http = options.linkPanes ? &http : nullptr,
               .countries = &countries,
               .database = &database,
               .clock = options.clock,
               .musicFiles = &media,
               .musicWatcher = &musicWatcher,
               .covers = &covers,
               .scrobbleAccounts = &accounts,
               .scrobbleHttp = &http,
               .playerVersion = PLATTER_VERSION}),
          window(app, options.linkPanes) {}

    PlistFileReader reader;
    IcuUnicodeRules unicode;
    StringRules rules{unicode};
    SettingsFileStore settingsFile{SettingsFileStore::defaultPath(), reader};
    UserDefaults defaults{settingsFile};
    QtDialogs qtDialogs;
    QuittableDialogs dialogs{qtDialogs};
    AtomicFileWriter files;
    LocalFileSystem fileSystem;
    StateDirectory state{StateDirectory::defaultPath()};
    TaglibMediaFiles media;
    GstQueuePlayerFactory gstPlayers;
    QueuePlayerFactory& players;
    CurlHttpFetch http;
    AccountsFile accounts;
    IcuCountryNames countries;
    SystemEnvironment system;
    SeededRandom random;
    GioFileWatcher libraryWatcher;
    GioFolderWatcher musicWatcher;
    QtCoverStore covers{cacheFolder(system) + "/covers"};
    // Background work uses the services above, so the runner stops before they go. The
    // controller goes first and cancels the network work, so the runner's stop never waits
    // for a request.
    GlibTaskRunner tasks;
    // Hands its answers to the main thread through the runner; its end flushes.
    SqliteLibraryDatabase database{SqliteLibraryDatabase::defaultPath(), tasks};
    AppDelegate app;
    MainWindow window;
    QStringList notices;
    std::unique_ptr<MprisService> mpris;
    std::unique_ptr<SongNotifier> notifier;
    std::unique_ptr<QuitSignals> quitSignals;
    std::unique_ptr<GioNetworkMonitor> network;
};

PlatterApp::PlatterApp(Options options) : parts_(std::make_unique<Parts>(options)) {
    auto& p = *parts_;
    p.window.keepLayoutIn(QString::fromStdString(StateDirectory::defaultPath() + "/window.conf"));
    p.qtDialogs.setParent(&p.window);
    if (!options.players && p.gstPlayers.silent())
        p.notices << tr("No audio output device was found: songs play silently.");
    if (const auto notice = MainWindow::settingsFileNotice(p.defaults.loadResult()); !notice.isEmpty())
        p.notices << notice;
    p.window.setNotice(p.notices.join(QStringLiteral("  ")));

    const auto artwork = cacheFolder(p.system) + "/artwork";
    if (options.onBus)
        p.mpris = std::make_unique<MprisService>(
            p.app, MprisService::Hooks{.raise = [this] { raise(); }, .quit = [this] { quit(); }}, artwork);
    p.notifier = std::make_unique<SongNotifier>(
        p.app, [&window = p.window] { return window.isActiveWindow(); }, artwork);

    p.quitSignals = std::make_unique<QuitSignals>([this] { quit(); });
    p.network = std::make_unique<GioNetworkMonitor>([&app = p.app] { app.scrobbling().networkReturned(); });
    // The session ends: the session manager may kill Platter right after asking, so everything
    // is written at once, as it is for any other way out.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { storeEverything(); });
    connect(qApp, &QGuiApplication::saveStateRequest, this, [this] { storeEverything(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        storeEverything();
        parts_->app.scrobbling().shutdown();
    });
}

PlatterApp::~PlatterApp() = default;

AppDelegate::LaunchResult PlatterApp::launch() {
    auto& p = *parts_;
    p.app.addObserver(p.window.viewController());
    p.window.show();
    const auto result = p.app.applicationDidFinishLaunching();
    if (result == AppDelegate::LaunchResult::Cancelled || quitting_) return AppDelegate::LaunchResult::Cancelled;
    for (const auto* notice : {&p.app.startNotice(), &p.app.statisticsNotice(), &p.app.scrobblingNotice()})
        if (*notice) p.window.setNotice((p.notices << NoticeText::of(**notice)).join(QStringLiteral("  ")));
    return result;
}

void PlatterApp::storeEverything() {
    parts_->window.storeLayout();
    parts_->app.applicationWillTerminate();
}

void PlatterApp::quit() {
    quitting_ = true;
    parts_->dialogs.quit();
    storeEverything();
    // Listens not yet taken wait in the database for the next start: quitting waits for no site.
    parts_->app.scrobbling().shutdown();
    parts_->window.close();
    QCoreApplication::quit();
}

void PlatterApp::raise() {
    auto& window = parts_->window;
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

AppDelegate& PlatterApp::delegate() {
    return parts_->app;
}

MainWindow& PlatterApp::window() {
    return parts_->window;
}

} // namespace platter
