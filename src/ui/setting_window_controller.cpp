#include "ui/setting_window_controller.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace platter {

MySettingWindowController::MySettingWindowController(const Dialogs::Preferences& shown, QWidget* parent)
    : QDialog(parent), countryList_(new QComboBox(this)), ratioF_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("SettingWindow"));
    setWindowTitle(QStringLiteral("Preferences"));
    setModal(true);

    countryList_->setObjectName(QStringLiteral("country"));
    countryList_->setMaxVisibleItems(20);
    for (const auto& name : shown.countries)
        countryList_->addItem(QString::fromStdString(name));
    countryList_->setCurrentIndex(shown.selectedCountry && *shown.selectedCountry < shown.countries.size()
                                      ? static_cast<int>(*shown.selectedCountry)
                                      : -1);
    countryList_->setMinimumWidth(260);

    ratioF_->setObjectName(QStringLiteral("ratio"));
    ratioF_->setText(QString::number(shown.ratio));
    ratioF_->setMaximumWidth(60);
    ratioF_->setAlignment(Qt::AlignRight);
    auto* ratioRow = new QHBoxLayout;
    ratioRow->addWidget(ratioF_);
    ratioRow->addWidget(
        new QLabel(QStringLiteral("% of the playlist's most frequent artists (1 to 100)"), this));
    ratioRow->addStretch();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Store country:"), countryList_);
    form->addRow(QStringLiteral("Suggest albums of:"), ratioRow);

    auto* note = new QLabel(QStringLiteral("Changes apply the next time you select a playlist."), this);
    note->setEnabled(false);

    auto* buttons = new QDialogButtonBox(this);
    cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    ok_ = buttons->addButton(QDialogButtonBox::Ok);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addSpacing(8);
    layout->addWidget(buttons);
}

Dialogs::PreferencesChoice MySettingWindowController::choice() const {
    Dialogs::PreferencesChoice c;
    if (countryList_->currentIndex() >= 0)
        c.selectedCountry = static_cast<std::size_t>(countryList_->currentIndex());
    c.ratioText = ratioF_->text().toStdString();
    return c;
}

} // namespace platter
