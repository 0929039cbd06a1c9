#pragma once

// The application's one window: the content view, the menus with their shortcuts, and a status
// line for conditions the user should know about (no audio device, settings set aside).

#include <QMainWindow>

class QLabel;

namespace platter {

class AppDelegate;
class ViewController;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppDelegate& app, bool withLinkPanes = true, QWidget* parent = nullptr);

    ViewController* viewController() const { return viewCont_; }
    // A lasting notice in the status line; an empty text hides the line.
    void setNotice(const QString& text);
    QString notice() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();

    AppDelegate& ourDelegate_;
    ViewController* viewCont_;
    QLabel* notice_;
};

} // namespace platter
