#include "ui/link_pane.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QWebEngineSettings>

namespace platter {

namespace {

// The engine reads its switches from this variable when it is set, and otherwise from the
// program's arguments after --webEngineArgs.
constexpr char switchesVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// Six panes of our own small pages: one renderer process serves them all, and they draw
// without the GPU, whose driver and compositor would cost more memory than such pages gain.
constexpr char paneSwitches[] = "--renderer-process-limit=1 --disable-gpu";

// Stands in for the window a link wanted: the first address it is sent to goes to the browser,
// and the page is gone.
class BrowserHandOff final : public QWebEnginePage {
public:
    explicit BrowserHandOff(QObject* parent) : QWebEnginePage(parent) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        if (!handedOff_ && url.isValid() && !url.isEmpty()) {
            handedOff_ = true;
            QDesktopServices::openUrl(url);
            deleteLater();
        }
        return false;
    }

private:
    bool handedOff_ = false;
};

} // namespace

LinkPane::EngineStart::EngineStart() {
    QByteArray users;
    if (qEnvironmentVariableIsSet(switchesVariable)) {
        usersVariable_ = qgetenv(switchesVariable);
        users = *usersVariable_;
    } else {
        // Setting the variable hides these from the engine, so they move into it.
        const auto args = QCoreApplication::arguments();
        const auto marker = args.indexOf(
            QRegularExpression(QStringLiteral("--webEngineArgs"), QRegularExpression::CaseInsensitiveOption));
        for (qsizetype i = marker < 0 ? args.size() : marker + 1; i < args.size(); ++i)
            users += ' ' + (args[i].contains(' ') ? '"' + args[i].toLocal8Bit() + '"' : args[i].toLocal8Bit());
    }
    // The user's own come last: where both name a switch, theirs holds.
    QByteArray all = paneSwitches;
    if (!users.trimmed().isEmpty()) all += ' ' + users.trimmed();
    qputenv(switchesVariable, all);
    // The panes are the only Qt Quick scenes; drawn in software they need no OpenGL of their own.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") && qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

LinkPane::EngineStart::~EngineStart() {
    // The engine has read it; programs Platter starts, such as the browser a link opens, see
    // the user's own.
    if (usersVariable_)
        qputenv(switchesVariable, *usersVariable_);
    else
        qunsetenv(switchesVariable);
}

LinkPage::LinkPage(QObject* parent) : QWebEnginePage(parent) {
    auto* s = settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    // The pages are local text; their artwork and previews come from the catalogue's servers.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    // The pages name no fonts; the desktop's sans-serif at the window's size fits them in.
    s->setFontFamily(QWebEngineSettings::StandardFont, QStringLiteral("sans-serif"));
    s->setFontFamily(QWebEngineSettings::SerifFont, QStringLiteral("sans-serif"));
    s->setFontSize(QWebEngineSettings::DefaultFontSize, 13);
}

bool LinkPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (type == NavigationTypeLinkClicked && url.isValid()) {
        QDesktopServices::openUrl(url);
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

QWebEnginePage* LinkPage::createWindow(WebWindowType) {
    return new BrowserHandOff(this);
}

LinkPane::LinkPane(QWidget* parent) : QWebEngineView(parent) {
    setPage(new LinkPage(this));
    // No context menu: it would offer to navigate or inspect inside the pane.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void LinkPane::loadPage(const std::string& html) {
    html_ = QString::fromStdString(html);
    showPage();
}

void LinkPane::setLook(const QString& pageStyle, const QColor& background) {
    pageStyle_ = pageStyle;
    // What an empty pane, or a page still loading, shows.
    page()->setBackgroundColor(background);
    if (!html_.isEmpty()) showPage();
}

void LinkPane::showPage() {
    // A style element ahead of the page lands in its head.
    setHtml(QStringLiteral("<style>") + pageStyle_ + QStringLiteral("</style>") + html_,
            QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + '/'));
}

} // namespace platter
