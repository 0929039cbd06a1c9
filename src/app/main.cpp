// Platter: wires the real components to the application controller and the window, and runs.

#include "app/instance_lock.h"
#include "app/platter_app.h"
#include "core/services/log.h"
#include "platform/dbus/mpris_service.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/playlists_view_controller.h"
#include "ui/view_controller.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <QTreeView>
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
    FirstPaintProbe(QAbstractItemView* list, long long launchNs) : list_(list), launchNs_(launchNs) {
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
    QAbstractItemView* list_;
    long long launchNs_;
    bool done_ = false;
};

} // namespace

int main(int argc, char** argv) {
    if (const char* categories = std::getenv("PLATTER_LOG")) platter::log::enable(categories);
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--verbose") platter::log::enable("all");
    // Nothing of Platter's draws with OpenGL (the store-link panes draw in software, see
    // LinkPane::EngineStart), yet the web engine opens an OpenGL context as the application
    // starts, which loads the GL driver: tens of MiB. X11's OpenGL stays off in this process
    // unless the user chose a renderer; programs it starts see the variable as it was.
    const bool withoutGl = !qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION") &&
                           qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") &&
                           qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND");
    if (withoutGl) qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication qtApp(argc, argv);
    if (withoutGl) qunsetenv("QT_XCB_GL_INTEGRATION");
    QApplication::setApplicationName(QStringLiteral("Platter"));
    QApplication::setApplicationVersion(QStringLiteral(PLATTER_VERSION));
    QApplication::setDesktopFileName(QString::fromLatin1(platter::MprisService::desktopEntry));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/platter.png")));
    platter::installTranslations(QLocale::system());

    using namespace platter;
    // One Platter a session: a second start shows the first one's window and leaves. The lock
    // holds where the bus does not answer, so that two never write one state folder.
    const InstanceLock lock(InstanceLock::defaultPath());
    const auto claim = MprisService::claimName();
    if (claim == MprisService::Claim::AnotherRuns) return 0;
    if (!lock.held()) {
        std::fprintf(stderr, "Platter is already running, and could not be reached to show its window.\n");
        return 1;
    }

    // The web engine refuses the root user unless its sandbox is turned off, and turning it off
    // is not ours to do: as root the window goes without its store-link panes.
    const bool linkPanes = ::geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX");
    PlatterApp program({.linkPanes = linkPanes, .onBus = claim == MprisService::Claim::Ours});

    std::unique_ptr<FirstPaintProbe> probe;
    if (const char* launch = std::getenv("PLATTER_LAUNCH_NS"))
        probe = std::make_unique<FirstPaintProbe>(
            program.window().viewController()->playlistsViewCont()->myTableView(), std::atoll(launch));

    if (program.launch() == AppDelegate::LaunchResult::Cancelled) return 0;
    return QApplication::exec();
}
