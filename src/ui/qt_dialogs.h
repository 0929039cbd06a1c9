#pragma once

// The application's modal dialogs as Qt shows them: file dialogs, message boxes and the
// preferences window, each over the main window.

#include "core/services/dialogs.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace platter {

class QtDialogs final : public Dialogs {
    Q_DECLARE_TR_FUNCTIONS(platter::QtDialogs)

public:
    // Dialogs open over `parent` once it is set; before that they stand alone.
    void setParent(QWidget* parent) { parent_ = parent; }

    std::optional<std::string> runOpenPanel() override;
    std::optional<std::string> runFolderPanel() override;
    std::optional<std::string> runExportPanel(const std::string& playlist) override;
    NoLibraryChoice runNoLibraryAlert(const std::vector<std::string>& lookedAt) override;
    bool confirmReset() override;
    bool explainNothingPlayable(const NothingPlayable& nothing) override;
    void tellNotALibrary(const NotALibrary& file) override;
    void tellExportFailed(const std::string& reason) override;
    void tellSongsLeftOut(const SongsLeftOut& export_) override;
    std::optional<PreferencesChoice> runPreferences(const Preferences& preferences) override;

    // The file name an export of `playlist` is offered under, without its extension.
    static QString exportName(const std::string& playlist);
    // Why `file` is no library, in words.
    static QString problemText(const NotALibrary& file);

private:
    static std::optional<std::string> folderPanel(QWidget* parent, const QString& title);
    // A message box with one button, `yes`, or that and Cancel: true when `yes` was chosen
    // where Cancel was offered.
    bool ask(QMessageBox::Icon icon, const QString& text, const QString& detail, const QString& yes, bool withCancel);

    QPointer<QWidget> parent_;
};

} // namespace platter
