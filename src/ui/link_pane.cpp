#include "ui/link_pane.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QWebEngineSettings>

namespace platter {

namespace {

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
