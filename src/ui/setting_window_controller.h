#pragma once

// The preferences window: the country whose catalogue the store links search, the share of a
// playlist's top artists they are drawn from, the folders music is looked for in, loudness and
// how shuffles draw; and, on a page of its own, the scrobbling accounts. It only
// shows values and collects the user's answer; the application controller decides what is
// stored.

#include "core/services/dialogs.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace platter {

class ScrobblingPage;

class MySettingWindowController final : public QDialog {
    Q_OBJECT
public:
    explicit MySettingWindowController(const Dialogs::Preferences& shown, QWidget* parent = nullptr);

    // The choice as it stands, whether or not the user confirms it.
    Dialogs::PreferencesChoice choice() const;
    // What Add… asks for a folder with; without one, Add… does nothing.
    void setFolderChooser(std::function<std::optional<std::string>()> chooser) {
        chooseFolder_ = std::move(chooser);
    }

    QComboBox* countryList() const { return countryList_; }
    QLineEdit* ratioF() const { return ratioF_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QListWidget* musicFolders() const { return musicFolders_; }
    QPushButton* addFolderButton() const { return addFolder_; }
    QPushButton* removeFolderButton() const { return removeFolder_; }
    QComboBox* replayGainMode() const { return replayGainMode_; }
    QDoubleSpinBox* preAmp() const { return preAmp_; }
    QDoubleSpinBox* untaggedGain() const { return untaggedGain_; }
    QComboBox* shuffleMode() const { return shuffleMode_; }
    QTabWidget* pages() const { return pages_; }
    ScrobblingPage* scrobbling() const { return scrobbling_; }

private:
    void addFolder();

    QComboBox* countryList_;
    QLineEdit* ratioF_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QListWidget* musicFolders_;
    QPushButton* addFolder_;
    QPushButton* removeFolder_;
    QComboBox* replayGainMode_;
    QDoubleSpinBox* preAmp_;
    QDoubleSpinBox* untaggedGain_;
    QComboBox* shuffleMode_;
    QTabWidget* pages_;
    ScrobblingPage* scrobbling_;
    std::function<std::optional<std::string>()> chooseFolder_;
};

} // namespace platter
