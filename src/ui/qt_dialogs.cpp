#include "ui/qt_dialogs.h"

#include "ui/setting_window_controller.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platter {

namespace {

// The file the user chose in a file dialog, or nothing when it was cancelled.
std::optional<std::string> chosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

} // namespace

std::optional<std::string> QtDialogs::runOpenPanel() {
    QFileDialog dialog(parent_, tr("Choose Your Music Library File"), QDir::homePath(),
                       tr("Music library files (*.xml);;All files (*)"));
    dialog.setObjectName(QStringLiteral("openPanel"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setLabelText(QFileDialog::Accept, tr("Open"));
    return chosenFile(dialog);
}

std::optional<std::string> QtDialogs::folderPanel(QWidget* parent, const QString& title) {
    QFileDialog dialog(parent, title, QDir::homePath());
    dialog.setObjectName(QStringLiteral("folderPanel"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, tr("Choose"));
    return chosenFile(dialog);
}

std::optional<std::string> QtDialogs::runFolderPanel() {
    return folderPanel(parent_, tr("Choose the Folder That Holds Your Music"));
}

std::optional<std::string> QtDialogs::runSavePanel(const SavePanel& panel) {
    QFileDialog dialog(parent_, QString::fromStdString(panel.message));
    dialog.setObjectName(QStringLiteral("savePanel"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!panel.canCreateDirectories) dialog.setOption(QFileDialog::ReadOnly);
    QStringList patterns;
    for (const auto& type : panel.allowedFileTypes)
        patterns << QStringLiteral("*.") + QString::fromStdString(type);
    QString name = QString::fromStdString(panel.defaultName);
    if (!panel.allowedFileTypes.empty()) {
        dialog.setNameFilter(tr("Playlist files (%1)").arg(patterns.join(' ')));
        dialog.setDefaultSuffix(QString::fromStdString(panel.allowedFileTypes.front()));
        name += QStringLiteral(".") + dialog.defaultSuffix();
    }
    dialog.selectFile(name);
    return chosenFile(dialog);
}

std::size_t QtDialogs::runAlert(const Alert& alert) {
    QMessageBox box(parent_);
    box.setObjectName(QStringLiteral("alert"));
    switch (alert.style) {
    case AlertStyle::Informational:
        box.setIcon(QMessageBox::Information);
        break;
    case AlertStyle::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case AlertStyle::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.setText(QString::fromStdString(alert.message));
    box.setInformativeText(QString::fromStdString(alert.informativeText));
    // The buttons' titles are the answers the caller knows; only their faces are translated.
    static constexpr const char* common[] = {QT_TR_NOOP("OK"), QT_TR_NOOP("Cancel")};
    const std::vector<std::string> titles =
        alert.buttons.empty() ? std::vector<std::string>{common[0]} : alert.buttons;
    std::vector<QPushButton*> buttons;
    // Escape and closing the box answer with Cancel when there is one, else the last button.
    std::size_t escape = titles.size() - 1;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const bool cancel = titles[i] == common[1];
        if (cancel) escape = i;
        buttons.push_back(box.addButton(QCoreApplication::translate("platter::QtDialogs", titles[i].c_str()),
                                        i == 0   ? QMessageBox::AcceptRole
                                        : cancel ? QMessageBox::RejectRole
                                                 : QMessageBox::ActionRole));
    }
    box.setDefaultButton(buttons.front());
    box.setEscapeButton(buttons[escape]);
    box.exec();
    const auto clicked = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return clicked == buttons.end() ? escape : static_cast<std::size_t>(clicked - buttons.begin());
}

Dialogs::NoLibraryChoice QtDialogs::runNoLibraryAlert(const std::vector<std::string>& lookedAt) {
    QMessageBox box(parent_);
    box.setObjectName(QStringLiteral("noLibraryAlert"));
    box.setIcon(QMessageBox::Information);
    box.setWindowTitle(QStringLiteral("Platter"));
    box.setText(tr("Platter needs your music library file."));
    QStringList places;
    for (const auto& path : lookedAt)
        places << QStringLiteral("\u2022 ") + QString::fromStdString(path);
    box.setInformativeText(
        tr("Platter plays the playlists of the library file your music application keeps or "
           "exports (in iTunes or Music: File › Library › Export Library…). It "
           "looked for it here and found none it could read:\n%1\n\nChoose the file to go on, "
           "or quit.")
            .arg(places.join(QLatin1Char('\n'))));
    auto* choose = box.addButton(tr("Choose Library…"), QMessageBox::AcceptRole);
    auto* quit = box.addButton(tr("Quit"), QMessageBox::RejectRole);
    box.setDefaultButton(choose);
    // Escape and closing the box quit: choosing again is a click away, and no loop traps the user.
    box.setEscapeButton(quit);
    box.exec();
    return box.clickedButton() == choose ? NoLibraryChoice::ChooseAgain : NoLibraryChoice::Quit;
}

std::optional<Dialogs::PreferencesChoice> QtDialogs::runPreferences(const Preferences& preferences) {
    MySettingWindowController window(preferences, parent_);
    window.setFolderChooser(
        [&window] { return folderPanel(&window, tr("Add a Folder That Holds Your Music")); });
    if (window.exec() != QDialog::Accepted) return std::nullopt;
    return window.choice();
}

} // namespace platter
