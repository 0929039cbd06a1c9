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
    QFileDialog dialog(parent_, QStringLiteral("Choose Your Music Library File"), QDir::homePath(),
                       QStringLiteral("Music library files (*.xml);;All files (*)"));
    dialog.setObjectName(QStringLiteral("openPanel"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Open"));
    return chosenFile(dialog);
}

std::optional<std::string> QtDialogs::folderPanel(QWidget* parent, const QString& title) {
    QFileDialog dialog(parent, title, QDir::homePath());
    dialog.setObjectName(QStringLiteral("folderPanel"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Choose"));
    return chosenFile(dialog);
}

std::optional<std::string> QtDialogs::runFolderPanel(const std::string& title) {
    return folderPanel(parent_, QString::fromStdString(title));
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
        dialog.setNameFilter(QStringLiteral("Playlist files (%1)").arg(patterns.join(' ')));
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
    const std::vector<std::string> titles =
        alert.buttons.empty() ? std::vector<std::string>{"OK"} : alert.buttons;
    std::vector<QPushButton*> buttons;
    // Escape and closing the box answer with Cancel when there is one, else the last button.
    std::size_t escape = titles.size() - 1;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const bool cancel = titles[i] == "Cancel";
        if (cancel) escape = i;
        buttons.push_back(box.addButton(QString::fromStdString(titles[i]), i == 0 ? QMessageBox::AcceptRole
                                                                           : cancel
                                                                               ? QMessageBox::RejectRole
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
    box.setText(QStringLiteral("Platter needs your music library file."));
    QStringList places;
    for (const auto& path : lookedAt)
        places << QStringLiteral("\u2022 ") + QString::fromStdString(path);
    box.setInformativeText(
        QStringLiteral("Platter plays the playlists of the library file your music application keeps or "
                       "exports (in iTunes or Music: File \u203a Library \u203a Export Library\u2026). It "
                       "looked for it here and found none it could read:\n%1\n\nChoose the file to go on, "
                       "or quit.")
            .arg(places.join(QLatin1Char('\n'))));
    auto* choose = box.addButton(QStringLiteral("Choose Library\u2026"), QMessageBox::AcceptRole);
    auto* quit = box.addButton(QStringLiteral("Quit"), QMessageBox::RejectRole);
    box.setDefaultButton(choose);
    // Escape and closing the box quit: choosing again is a click away, and no loop traps the user.
    box.setEscapeButton(quit);
    box.exec();
    return box.clickedButton() == choose ? NoLibraryChoice::ChooseAgain : NoLibraryChoice::Quit;
}

std::optional<Dialogs::PreferencesChoice> QtDialogs::runPreferences(const Preferences& preferences) {
    MySettingWindowController window(preferences, parent_);
    window.setFolderChooser(
        [&window] { return folderPanel(&window, QStringLiteral("Add a Folder That Holds Your Music")); });
    if (window.exec() != QDialog::Accepted) return std::nullopt;
    return window.choice();
}

} // namespace platter
