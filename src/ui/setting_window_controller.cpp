#include "ui/setting_window_controller.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace platter {

MySettingWindowController::MySettingWindowController(const Dialogs::Preferences& shown, QWidget* parent)
    : QDialog(parent), countryList_(new QComboBox(this)), ratioF_(new QLineEdit(this)),
      musicFolders_(new QListWidget(this)), addFolder_(new QPushButton(QStringLiteral("Add\u2026"), this)),
      removeFolder_(new QPushButton(QStringLiteral("Remove"), this)) {
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

    musicFolders_->setObjectName(QStringLiteral("musicFolders"));
    musicFolders_->setSelectionMode(QAbstractItemView::SingleSelection);
    musicFolders_->setMaximumHeight(96);
    musicFolders_->setToolTip(QStringLiteral("Where Platter looks for songs that are not where the library "
                                             "says, before any other folder"));
    for (const auto& folder : shown.musicFolders)
        musicFolders_->addItem(QString::fromStdString(folder));
    addFolder_->setObjectName(QStringLiteral("addMusicFolder"));
    removeFolder_->setObjectName(QStringLiteral("removeMusicFolder"));
    removeFolder_->setEnabled(false);
    connect(addFolder_, &QPushButton::clicked, this, &MySettingWindowController::addFolder);
    connect(removeFolder_, &QPushButton::clicked, this, [this] { delete musicFolders_->currentItem(); });
    connect(musicFolders_, &QListWidget::currentRowChanged, this,
            [this](int row) { removeFolder_->setEnabled(row >= 0); });
    auto* folderButtons = new QVBoxLayout;
    folderButtons->addWidget(addFolder_);
    folderButtons->addWidget(removeFolder_);
    folderButtons->addStretch();
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(musicFolders_, 1);
    folderRow->addLayout(folderButtons);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Store country:"), countryList_);
    form->addRow(QStringLiteral("Suggest albums of:"), ratioRow);
    form->addRow(QStringLiteral("Music folders:"), folderRow);

    auto* note = new QLabel(QStringLiteral("The store country and the share of artists apply the next time you select a playlist."), this);
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
    for (int i = 0; i < musicFolders_->count(); ++i)
        c.musicFolders.push_back(musicFolders_->item(i)->text().toStdString());
    return c;
}

void MySettingWindowController::addFolder() {
    if (!chooseFolder_) return;
    const auto folder = chooseFolder_();
    if (!folder) return;
    const auto text = QString::fromStdString(*folder);
    if (musicFolders_->findItems(text, Qt::MatchExactly).isEmpty()) musicFolders_->addItem(text);
}

} // namespace platter
