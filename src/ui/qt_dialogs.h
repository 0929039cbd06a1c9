#pragma once

// The application's modal dialogs as Qt shows them: file dialogs, message boxes and the
// preferences window, each over the main window.

#include "core/services/dialogs.h"

#include <QCoreApplication>
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
    // A bare file name gets the first allowed extension, as the user expects of a save dialog.
    std::optional<std::string> runSavePanel(const SavePanel& panel) override;
    std::size_t runAlert(const Alert& alert) override;
    NoLibraryChoice runNoLibraryAlert(const std::vector<std::string>& lookedAt) override;
    std::optional<PreferencesChoice> runPreferences(const Preferences& preferences) override;

private:
    static std::optional<std::string> folderPanel(QWidget* parent, const QString& title);

    QPointer<QWidget> parent_;
};

} // namespace platter
