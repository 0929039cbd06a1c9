#include "ui/main_window.h"

#include "core/app/app_delegate.h"
#include "ui/link_pane.h"
#include "ui/main_view_controller.h"
#include "ui/notice_text.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include "ui/playlists_view_controller.h"
#include "ui/theme.h"
#include "ui/top_view_controller.h"
#include "ui/view_controller.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTreeView>
#include <algorithm>

namespace platter {

MainWindow::MainWindow(AppDelegate& app, bool withLinkPanes, QWidget* parent)
    : QMainWindow(parent), ourDelegate_(app), viewCont_(new ViewController(app, withLinkPanes, this)),
      notice_(new QLabel(this)), filesNotice_(new QLabel(this)), statusNotice_(new QLabel(this)),
      findFolder_(new QPushButton(tr("Find Music Folder…"), this)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromUtf8(AppDelegate::bundleName.data(), AppDelegate::bundleName.size()));
    setCentralWidget(viewCont_);
    resize(preferredSize);
    notice_->setObjectName(QStringLiteral("notice"));
    notice_->setContentsMargins(8, 0, 8, 0);
    notice_->setWordWrap(true);
    filesNotice_->setObjectName(QStringLiteral("filesNotice"));
    filesNotice_->setContentsMargins(8, 0, 4, 0);
    findFolder_->setObjectName(QStringLiteral("findMusicFolder"));
    findFolder_->setToolTip(tr("Choose a folder or drive that holds your music"));
    statusNotice_->setObjectName(QStringLiteral("statusNotice"));
    statusNotice_->setContentsMargins(8, 0, 8, 0);
    statusNotice_->setWordWrap(true);
    statusBar()->addWidget(statusNotice_, 1);
    statusBar()->addWidget(notice_, 1);
    statusBar()->addPermanentWidget(filesNotice_);
    statusBar()->addPermanentWidget(findFolder_);
    statusBar()->setSizeGripEnabled(false);
    filesNotice_->hide();
    statusNotice_->hide();
    findFolder_->hide();
    statusBar()->hide();
    connect(findFolder_, &QPushButton::clicked, this, [this] { ourDelegate_.chooseMusicFolder(); });
    connect(viewCont_, &ViewController::songFilesChanged, this, &MainWindow::showSongFiles);
    connect(viewCont_, &ViewController::statusNoticeChanged, this, &MainWindow::showStatusNotice);
    buildMenus();
    applyTheme();
    connect(viewCont_->topViewCont(), &MyTopViewController::modeChanged, this, &MainWindow::updateActions);
    updateActions();
    placeOnScreen(true);
    viewCont_->fitColumns(width());
    // A new application palette is announced to the application object, not to top-level windows.
    qApp->installEventFilter(this);
    setAcceptDrops(true);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFolders(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const auto folders = droppedFolders(event->mimeData());
    for (const auto& folder : folders)
        ourDelegate_.addMusicFolder(folder.toStdString());
    if (!folders.isEmpty()) event->acceptProposedAction();
}

QStringList MainWindow::droppedFolders(const QMimeData* data) {
    QStringList folders;
    if (!data) return folders;
    for (const auto& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir())
            folders << QDir::cleanPath(url.toLocalFile());
    return folders;
}

void MainWindow::applyTheme() {
    const auto theme = Theme::of(QApplication::palette());
    QFile style(QStringLiteral(":/platter.qss"));
    if (style.open(QIODevice::ReadOnly)) setStyleSheet(theme.styleSheet(QString::fromUtf8(style.readAll())));
    viewCont_->topViewCont()->setLook(theme);
    viewCont_->mainViewCont()->setLook(theme);
    viewCont_->playlistsViewCont()->setLook(theme);
    const auto pageStyle = theme.pageStyle();
    for (auto* pane : viewCont_->webViews())
        if (pane) pane->setLook(pageStyle, theme.colours.at(QStringLiteral("base")));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The desktop switched between light and dark.
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) applyTheme();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::setNotice(const QString& text) {
    notice_->setText(text);
    updateStatusLine();
}

QString MainWindow::settingsFileNotice(const SettingsFile::LoadResult& loaded) {
    if (loaded.status != SettingsFile::Status::Corrupt) return {};
    // Left where it was, it is not written over: nothing will be saved this time.
    if (loaded.setAsidePath.empty())
        return tr("Your settings file could not be read, nor set aside; the defaults apply, and no "
                  "setting will be saved.");
    return tr("Your settings file could not be read and was set aside as %1; the defaults apply.")
        .arg(QString::fromStdString(loaded.setAsidePath));
}

QString MainWindow::songFilesNotice(const FileCounts& files) {
    const auto total = files.total();
    if (total > 0 && files.found == 0 && files.notFound == 0)
        return tr("None of the %L1 songs in this library has a file on this computer: they are streams or "
                  "songs kept in the cloud.")
            .arg(total);
    if (files.notFound == 0) return {};
    return (files.notFound == 1 ? tr("%L1 of %L2 songs has no file on this computer.")
                                : tr("%L1 of %L2 songs have no file on this computer."))
        .arg(files.notFound)
        .arg(total);
}

void MainWindow::showSongFiles() {
    const auto& files = ourDelegate_.libraryFiles();
    filesNotice_->setText(songFilesNotice(files));
    filesNotice_->setVisible(!filesNotice_->text().isEmpty());
    findFolder_->setVisible(files.notFound > 0);
    updateStatusLine();
}

void MainWindow::showStatusNotice() {
    auto text = NoticeText::of(ourDelegate_.notices());
    if (const auto adding = ourDelegate_.addingMusic(); adding && adding->total > 0)
        text = (text.isEmpty() ? QString() : text + QStringLiteral("  ")) + NoticeText::adding(adding->done, adding->total);
    statusNotice_->setText(text);
    statusNotice_->setVisible(!statusNotice_->text().isEmpty());
    updateStatusLine();
}

void MainWindow::updateStatusLine() {
    statusBar()->setVisible(!notice_->text().isEmpty() || !filesNotice_->text().isEmpty() ||
                            !statusNotice_->text().isEmpty());
}

QString MainWindow::notice() const {
    return notice_->text();
}

void MainWindow::buildMenus() {
    auto* top = viewCont_->topViewCont();
    auto* appMenu = menuBar()->addMenu(tr("&Platter"));
    auto* prefs = appMenu->addAction(tr("&Preferences…"), this, [this] { ourDelegate_.preferences(); });
    prefs->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    prefs->setMenuRole(QAction::PreferencesRole);
    appMenu->addAction(tr("Choose &Library…"), this, [this] { ourDelegate_.chooseLibrary(); })
        ->setObjectName(QStringLiteral("chooseLibrary"));
    appMenu->addAction(tr("&Reset…"), this, [this] { ourDelegate_.resetAll(); })
        ->setToolTip(tr("Read the library file again"));
    appMenu->addSeparator();
    auto* quit = appMenu->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);

    auto* listMenu = menuBar()->addMenu(tr("P&laylist"));
    saveChoices_ = listMenu->addAction(tr("&Save Album Choices"), this, [this] { ourDelegate_.save(); });
    saveChoices_->setShortcut(QKeySequence::Save);
    shuffleAlbums_ = listMenu->addAction(tr("&Shuffle Albums"), top, &MyTopViewController::showPlaylist);
    shuffleAlbums_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Return")));
    reshuffle_ = listMenu->addAction(tr("&Reshuffle"), top, &MyTopViewController::reshuffle);
    reshuffle_->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    editAlbums_ = listMenu->addAction(tr("Edit &Albums"), top, &MyTopViewController::backToConfig);
    editAlbums_->setShortcut(QKeySequence(QStringLiteral("Ctrl+B")));
    listMenu->addSeparator();
    export_ = listMenu->addAction(tr("&Export…"), top, &MyTopViewController::exportPlaylist);
    export_->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));

    auto* controls = menuBar()->addMenu(tr("&Controls"));
    controls->addAction(tr("&Play/Pause"), top, &MyTopViewController::playPause)
        ->setShortcut(QKeySequence(Qt::Key_Space));
    controls->addAction(tr("&Next Song"), top, &MyTopViewController::forward)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Right")));
    controls->addAction(tr("&Restart Song"), top, &MyTopViewController::backward)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Left")));
    controls->addAction(tr("Next &Album"), this, [this] { ourDelegate_.nextAlbum(); })
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Right")));
    controls->addAction(tr("Restart Al&bum"), this, [this] { ourDelegate_.restartAlbum(); })
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Left")));
    controls->addSeparator();
    auto* notifications = controls->addAction(tr("Announce New &Songs"));
    notifications->setObjectName(QStringLiteral("songNotifications"));
    notifications->setToolTip(
        tr("A desktop notification for each new song while this window is not in front"));
    notifications->setCheckable(true);
    // The settings are read after the window is built: the box shows them when the menu opens.
    connect(controls, &QMenu::aboutToShow, notifications,
            [this, notifications] { notifications->setChecked(ourDelegate_.songNotifications()); });
    connect(notifications, &QAction::toggled, this,
            [this](bool on) { ourDelegate_.setSongNotifications(on); });
}

namespace {

// QSettings would wait for ever on a FIFO, and it writes through a symbolic link: the layout
// file is read only when it is a regular file.
bool isRegularFile(const QFileInfo& file) {
    return file.isFile() && !file.isSymLink();
}

} // namespace

void MainWindow::updateActions() {
    const bool selected = ourDelegate_.playlistAt(ourDelegate_.playlistNumber()) != nullptr;
    const bool configuring = selected && ourDelegate_.configuring();
    const bool ordered = selected && !ourDelegate_.configuring();
    saveChoices_->setEnabled(configuring);
    shuffleAlbums_->setEnabled(configuring);
    reshuffle_->setEnabled(ordered);
    editAlbums_->setEnabled(ordered);
    export_->setEnabled(ordered);
}

void MainWindow::placeOnScreen(bool centre) {
    const auto* where = screen();
    if (!where || isMaximized() || isFullScreen()) return;
    const auto room = where->availableGeometry();
    // The frame is the window manager's, known once it framed the window; until then a title
    // bar's worth is left for it.
    auto frame = frameGeometry().size() - size();
    if (frame.width() <= 0 && frame.height() <= 0) frame = QSize(8, 40);
    // Columns that cannot be narrow enough give up the store links first.
    if (minimumSizeHint().width() > room.width() - frame.width()) viewCont_->foldLinkColumn();
    resize(size().boundedTo(room.size() - frame));
    QRect outer(frameGeometry().topLeft(), size() + frame);
    if (centre) outer.moveCenter(room.center());
    outer.moveLeft(
        std::clamp(outer.left(), room.left(), std::max(room.left(), room.right() + 1 - outer.width())));
    outer.moveTop(
        std::clamp(outer.top(), room.top(), std::max(room.top(), room.bottom() + 1 - outer.height())));
    move(outer.topLeft());
}

void MainWindow::keepLayoutIn(const QString& file) {
    layoutFile_ = file;
    if (!isRegularFile(QFileInfo(file))) return;
    const QSettings stored(file, QSettings::IniFormat);
    // A file that is not ours, or from another version, restores nothing it cannot read.
    const bool placed = restoreGeometry(stored.value(QStringLiteral("window")).toByteArray());
    QList<int> widths;
    for (const auto& w : stored.value(QStringLiteral("columns")).toList())
        widths.push_back(w.toInt());
    if (!viewCont_->setColumnWidths(widths)) viewCont_->fitColumns(width());
    if (placed) placeOnScreen(false);
    auto* main = viewCont_->mainViewCont();
    main->outlineView()->header()->restoreState(stored.value(QStringLiteral("albumColumns")).toByteArray());
    main->setSongColumnLayout(stored.value(QStringLiteral("songTable")).toStringList());
    viewCont_->playlistsViewCont()->setFoldedFolders(
        stored.value(QStringLiteral("foldedPlaylists")).toStringList());
}

void MainWindow::storeLayout() const {
    if (layoutFile_.isEmpty()) return;
    // A link is replaced by a file of its own; anything else but a regular file is left alone.
    const QFileInfo file(layoutFile_);
    if (file.isSymLink()) QFile::remove(layoutFile_);
    else if (file.exists() && !isRegularFile(file)) return;
    QSettings stored(layoutFile_, QSettings::IniFormat);
    stored.setValue(QStringLiteral("window"), saveGeometry());
    QVariantList widths;
    for (const int w : viewCont_->columnWidths())
        widths.push_back(w);
    stored.setValue(QStringLiteral("columns"), widths);
    auto* main = viewCont_->mainViewCont();
    stored.setValue(QStringLiteral("albumColumns"), main->outlineView()->header()->saveState());
    stored.setValue(QStringLiteral("songTable"), main->songColumnLayout());
    stored.setValue(QStringLiteral("foldedPlaylists"), viewCont_->playlistsViewCont()->foldedFolders());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    storeLayout();
    ourDelegate_.applicationWillTerminate();
    event->accept();
    QApplication::quit();
}

} // namespace platter
