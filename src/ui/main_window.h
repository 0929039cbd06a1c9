#pragma once

// The application's one window: the content view, the menus with their shortcuts, and a status
// line for conditions the user should know about (no audio device, settings set aside, songs
// whose files are not here, with a way to point at them).

#include "core/services/settings_file.h"

#include <QMainWindow>

class QLabel;
class QPushButton;

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
    // What the status line says of a settings file that could not be read; empty for one that was.
    static QString settingsFileNotice(const SettingsFile::LoadResult& loaded);
    QString notice() const;
    // What the status line says of the library's files, and its button that looks elsewhere.
    QLabel* filesNotice() const { return filesNotice_; }
    // What could not be saved, and why playback paused on its own.
    QLabel* statusNotice() const { return statusNotice_; }
    QPushButton* findMusicFolderButton() const { return findFolder_; }
    // Where the window's size and place and its columns' widths are kept from run to run; none
    // unless given. Read once at once; written when the window closes.
    void keepLayoutIn(const QString& file);
    void storeLayout() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void applyTheme();
    void showSongFiles();
    void showStatusNotice();
    void updateStatusLine();

    AppDelegate& ourDelegate_;
    ViewController* viewCont_;
    QLabel* notice_;
    QLabel* filesNotice_;
    QLabel* statusNotice_;
    QPushButton* findFolder_;
    QString layoutFile_;
};

} // namespace platter
