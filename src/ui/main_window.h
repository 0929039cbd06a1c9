#pragma once

// The application's one window: the content view, the menus with their shortcuts, and a status
// line for conditions the user should know about (no audio device, settings set aside, songs
// whose files are not here, with a way to point at them).

#include "core/model/song_file.h"
#include "core/services/settings_file.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMimeData;
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
    // What the status line says of songs whose files are not on this computer; empty when all are.
    static QString songFilesNotice(const FileCounts& files);
    QString notice() const;
    // What the status line says of the library's files, and its button that looks elsewhere.
    QLabel* filesNotice() const { return filesNotice_; }
    // What could not be saved, and why playback paused on its own.
    QLabel* statusNotice() const { return statusNotice_; }
    QPushButton* findMusicFolderButton() const { return findFolder_; }
    // Where the window's size and place and its columns' widths are kept from run to run; none
    // unless given. Read once at once; written when the window closes. A size or place that does
    // not fit the screen now is brought inside it.
    void keepLayoutIn(const QString& file);
    void storeLayout() const;
    // The window and its frame inside the screen's available area: no larger, and moved in;
    // `centre` centres it there.
    void placeOnScreen(bool centre);
    // What the window opens at with no layout kept, when the screen has room.
    static constexpr QSize preferredSize{1400, 900};

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A folder dropped on the window becomes a music folder.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

public:
    // The local folders among dropped items.
    static QStringList droppedFolders(const QMimeData* data);

private:

private:
    void buildMenus();
    void applyTheme();
    void showSongFiles();
    void showStatusNotice();
    void updateStatusLine();
    // The playlist menu offers what the selected playlist's step allows.
    void updateActions();

    AppDelegate& ourDelegate_;
    ViewController* viewCont_;
    QLabel* notice_;
    QLabel* filesNotice_;
    QLabel* statusNotice_;
    QPushButton* findFolder_;
    QString layoutFile_;
    QAction* saveChoices_ = nullptr;
    QAction* shuffleAlbums_ = nullptr;
    QAction* reshuffle_ = nullptr;
    QAction* editAlbums_ = nullptr;
    QAction* export_ = nullptr;
};

} // namespace platter
