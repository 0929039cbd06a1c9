#pragma once

// A web pane of the store-link column. Its pages are ours, built from catalogue answers: no
// JavaScript runs, previews play only after a click, and a click on any link (a plain one or
// one aimed at a new window) opens the address in the user's browser while the pane keeps its
// page.

#include <QByteArray>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <optional>

namespace platter {

class LinkPage final : public QWebEnginePage {
    Q_OBJECT
public:
    explicit LinkPage(QObject* parent = nullptr);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // Links with target="_blank" ask for a new window instead of navigating.
    QWebEnginePage* createWindow(WebWindowType type) override;
};

class LinkPane final : public QWebEngineView {
    Q_OBJECT
public:
    // Held while the first panes are made, which starts the web engine: it starts the way the
    // panes want it (see link_pane.cpp), and the user's own switches still hold.
    class EngineStart {
    public:
        EngineStart();
        ~EngineStart();
        EngineStart(const EngineStart&) = delete;
        EngineStart& operator=(const EngineStart&) = delete;

    private:
        std::optional<QByteArray> usersVariable_;
    };

    explicit LinkPane(QWidget* parent = nullptr);
    // Loads one of our pages; relative addresses resolve against the application's folder.
    void loadPage(const std::string& html);
    // The window's colours for our pages; the page shown takes them at once.
    void setLook(const QString& pageStyle, const QColor& background);

private:
    void showPage();

    QString html_;
    QString pageStyle_;
};

} // namespace platter
