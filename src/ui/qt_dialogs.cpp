#include "ui/qt_dialogs.h"

#include "ui/setting_window_controller.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

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

std::optional<std::string> QtDialogs::runExportPanel(const std::string& playlist) {
    QFileDialog dialog(parent_, tr("Export iTune Playlist"));
    dialog.setObjectName(QStringLiteral("savePanel"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The type chosen names the file, and the name decides what is written: a bare file name
    // gets the type's extension, and switching types switches the extension of the name typed.
    const QStringList suffixes{QStringLiteral("xml"), QStringLiteral("m3u8")};
    const QStringList filters{tr("XML playlist (%1)").arg(QStringLiteral("*.xml")),
                              tr("M3U8 playlist for other players (%1)").arg(QStringLiteral("*.m3u8"))};
    dialog.setNameFilters(filters);
    dialog.selectFile(exportName(playlist) + QStringLiteral(".xml"));
    const auto typeSuffix = [&] { return suffixes.value(std::max<qsizetype>(filters.indexOf(dialog.selectedNameFilter()), 0)); };
    const auto withoutSuffix = [&](QString name) {
        for (const auto& known : suffixes)
            if (name.endsWith(QLatin1Char('.') + known, Qt::CaseInsensitive)) name.chop(known.size() + 1);
        return name;
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&] {
        const auto typed = dialog.selectedFiles().value(0);
        if (!typed.isEmpty()) dialog.selectFile(withoutSuffix(QFileInfo(typed).fileName()) + QLatin1Char('.') + typeSuffix());
    });
    auto path = chosenFile(dialog);
    if (path && withoutSuffix(QString::fromStdString(*path)) == QString::fromStdString(*path) &&
        !QString::fromStdString(*path).endsWith(QStringLiteral(".m3u"), Qt::CaseInsensitive))
        *path += "." + typeSuffix().toStdString();
    return path;
}

QString QtDialogs::exportName(const std::string& playlist) {
    return QStringLiteral("Platter - ") + QString::fromStdString(playlist);
}

bool QtDialogs::ask(QMessageBox::Icon icon, const QString& text, const QString& detail, const QString& yes,
                    bool withCancel) {
    QMessageBox box(parent_);
    box.setObjectName(QStringLiteral("alert"));
    box.setIcon(icon);
    box.setText(text);
    box.setInformativeText(detail);
    auto* accept = box.addButton(yes, QMessageBox::AcceptRole);
    // Escape and closing the box answer with Cancel when there is one.
    auto* cancel = withCancel ? box.addButton(tr("Cancel"), QMessageBox::RejectRole) : accept;
    box.setDefaultButton(accept);
    box.setEscapeButton(cancel);
    box.exec();
    return withCancel && box.clickedButton() == accept;
}

bool QtDialogs::confirmReset() {
    QMessageBox box(parent_);
    box.setObjectName(QStringLiteral("alert"));
    box.setIcon(QMessageBox::Critical);
    box.setText(tr("If you click \"OK\", all playlists created in \"Platter\" will deleted.\nAre you sure?"));
    auto* ok = box.addButton(tr("OK"), QMessageBox::AcceptRole);
    box.setEscapeButton(box.addButton(tr("Cancel"), QMessageBox::RejectRole));
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok;
}

bool QtDialogs::explainNothingPlayable(const NothingPlayable& nothing) {
    const auto text = tr("Nothing in \u201c%1\u201d can be played.").arg(QString::fromStdString(nothing.playlist));
    switch (nothing.why) {
    case NothingPlayable::Why::FilesNotHere:
        return ask(QMessageBox::Warning, text,
                   tr("The files of %L1 of its %L2 songs are not on this computer where the library says. If "
                      "your music is in another folder or on a drive, choose that folder and Platter will look "
                      "there.")
                       .arg(nothing.notFound)
                       .arg(nothing.total),
                   tr("Find Music Folder\u2026"), true);
    case NothingPlayable::Why::NoFiles:
        ask(QMessageBox::Warning, text,
            tr("Its songs are streams or songs kept in the cloud; Platter plays files on this computer only."),
            tr("OK"), false);
        return false;
    case NothingPlayable::Why::Unreadable:
        ask(QMessageBox::Warning, text, tr("Its songs' files are here, but none of them could be read as audio."),
            tr("OK"), false);
        return false;
    }
    return false;
}

QString QtDialogs::problemText(const NotALibrary& file) {
    using Kind = LibraryProblem::Kind;
    switch (file.why) {
    case NotALibrary::Why::NoFile:
        return tr("Its location is no file.");
    case NotALibrary::Why::Unreadable:
        return tr("It could not be read: %1.").arg(QString::fromStdString(file.detail));
    case NotALibrary::Why::NoLibrary:
        break;
    }
    switch (file.problem.kind) {
    case Kind::NoDictionary:
        return tr("It holds no dictionary at its top.");
    case Kind::Empty:
        return tr("It is empty.");
    case Kind::NoTracks:
        return tr("It has no \u201cTracks\u201d dictionary.");
    case Kind::TrackNotDictionary:
        return tr("Its track \u201c%1\u201d is no dictionary.").arg(QString::fromStdString(file.problem.track));
    case Kind::None:
        break;
    }
    return {};
}

void QtDialogs::tellNotALibrary(const NotALibrary& file) {
    ask(QMessageBox::Warning,
        tr("\u201c%1\u201d is not a music library Platter can read.").arg(QString::fromStdString(file.fileName)),
        problemText(file) + QLatin1Char(' ') +
            tr("Choose the library file your music application keeps or exports, such as \u201ciTunes Music "
               "Library.xml\u201d."),
        tr("OK"), false);
}

void QtDialogs::tellExportFailed(const std::string& reason) {
    ask(QMessageBox::Warning, tr("The playlist could not be exported."), QString::fromStdString(reason), tr("OK"),
        false);
}

void QtDialogs::tellSongsLeftOut(const SongsLeftOut& export_) {
    const QLocale locale;
    ask(QMessageBox::Information,
        tr("Not every song of \u201c%1\u201d is in the playlist file.").arg(QString::fromStdString(export_.playlist)),
        tr("Left out, as their files are not on this computer: %1 of %2 songs.")
            .arg(locale.toString(static_cast<qlonglong>(export_.leftOut)),
                 locale.toString(static_cast<qlonglong>(export_.total))),
        tr("OK"), false);
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
