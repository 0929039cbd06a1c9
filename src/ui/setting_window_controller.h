#pragma once

// The preferences window: the country whose catalogue the store links search, and the share
// of a playlist's top artists they are drawn from. It only shows values and collects the
// user's answer; the application controller decides what is stored.

#include "core/services/dialogs.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace platter {

class MySettingWindowController final : public QDialog {
    Q_OBJECT
public:
    explicit MySettingWindowController(const Dialogs::Preferences& shown, QWidget* parent = nullptr);

    // The choice as it stands, whether or not the user confirms it.
    Dialogs::PreferencesChoice choice() const;

    QComboBox* countryList() const { return countryList_; }
    QLineEdit* ratioF() const { return ratioF_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    QComboBox* countryList_;
    QLineEdit* ratioF_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace platter
