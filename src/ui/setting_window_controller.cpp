#include "ui/setting_window_controller.h"

#include "ui/scrobbling_page.h"

#include <QComboBox>
#include <algorithm>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace platter {

MySettingWindowController::MySettingWindowController(const Dialogs::Preferences& shown, QWidget* parent)
    : QDialog(parent), countryList_(new QComboBox(this)), ratioF_(new QLineEdit(this)),
      musicFolders_(new QListWidget(this)), addFolder_(new QPushButton(tr("Add…"), this)),
      removeFolder_(new QPushButton(tr("Remove"), this)), replayGainMode_(new QComboBox(this)),
      preAmp_(new QDoubleSpinBox(this)), untaggedGain_(new QDoubleSpinBox(this)),
      shuffleMode_(new QComboBox(this)), pages_(new QTabWidget(this)), scrobbling_(new ScrobblingPage(shown, this)) {
    setObjectName(QStringLiteral("SettingWindow"));
    setWindowTitle(tr("Preferences"));
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
    ratioRow->addWidget(new QLabel(tr("% of the playlist's most frequent artists (1 to 100)"), this));
    ratioRow->addStretch();

    musicFolders_->setObjectName(QStringLiteral("musicFolders"));
    musicFolders_->setSelectionMode(QAbstractItemView::SingleSelection);
    musicFolders_->setMaximumHeight(96);
    musicFolders_->setToolTip(tr("Where Platter looks for songs that are not where the library "
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

    // In the order of ReplayGain::Mode.
    replayGainMode_->setObjectName(QStringLiteral("replayGainMode"));
    replayGainMode_->addItems(
        {tr("Off"), tr("By shuffle grain"), tr("Always track gain"), tr("Always album gain")});
    replayGainMode_->setItemData(1,
                                 tr("Album gain while a whole album or disc plays, so it keeps its "
                                    "dynamics; track gain for songs shuffled one by one"),
                                 Qt::ToolTipRole);
    replayGainMode_->setCurrentIndex(static_cast<int>(shown.replayGain.mode));
    const auto levelBox = [&](QDoubleSpinBox* box, const char* name, double value, const QString& tip) {
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(ReplayGain::minDb, ReplayGain::maxDb);
        box->setSingleStep(0.5);
        box->setDecimals(1);
        box->setSuffix(QStringLiteral(" dB"));
        box->setValue(value);
        box->setToolTip(tip);
    };
    levelBox(preAmp_, "preAmp", shown.replayGain.preAmp, tr("Added to the gains stored in the files"));
    levelBox(untaggedGain_, "untaggedGain", shown.replayGain.untagged,
             tr("For files that store no ReplayGain"));
    const auto enableLevels = [this](int mode) {
        preAmp_->setEnabled(mode != static_cast<int>(ReplayGain::Mode::Off));
        untaggedGain_->setEnabled(mode != static_cast<int>(ReplayGain::Mode::Off));
    };
    enableLevels(replayGainMode_->currentIndex());
    connect(replayGainMode_, &QComboBox::currentIndexChanged, this, enableLevels);
    auto* levelsRow = new QHBoxLayout;
    levelsRow->addWidget(new QLabel(tr("Pre-amp"), this));
    levelsRow->addWidget(preAmp_);
    levelsRow->addSpacing(12);
    levelsRow->addWidget(new QLabel(tr("Files without gains"), this));
    levelsRow->addWidget(untaggedGain_);
    levelsRow->addStretch();

    // In the order of ShuffleMode.
    shuffleMode_->setObjectName(QStringLiteral("shuffleMode"));
    shuffleMode_->addItems({tr("Uniform"), tr("Rediscover")});
    shuffleMode_->setItemData(1,
                              tr("Favours what you have not heard for the longest time: songs never "
                                 "played come first"),
                              Qt::ToolTipRole);
    shuffleMode_->setCurrentIndex(static_cast<int>(shown.shuffle));
    shuffleMode_->setToolTip(tr("A playlist's own choice, in its context menu in the list, goes first"));

    auto* form = new QFormLayout;
    form->addRow(tr("Store country:"), countryList_);
    form->addRow(tr("Suggest albums of:"), ratioRow);
    form->addRow(tr("Music folders:"), folderRow);
    form->addRow(tr("ReplayGain:"), replayGainMode_);
    form->addRow(QString(), levelsRow);
    form->addRow(tr("Shuffle:"), shuffleMode_);

    auto* note = new QLabel(tr("The store country and the share of artists apply the next time you "
                               "select a playlist; a ReplayGain mode from the next song; a shuffle mode from the "
                               "next shuffle."),
                            this);
    note->setWordWrap(true);
    note->setEnabled(false);

    auto* buttons = new QDialogButtonBox(this);
    cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    ok_ = buttons->addButton(QDialogButtonBox::Ok);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* general = new QWidget(this);
    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addLayout(form);
    generalLayout->addWidget(note);
    generalLayout->addStretch();
    pages_->addTab(general, tr("General"));
    pages_->addTab(scrobbling_, tr("Scrobbling"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
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
    c.replayGain = {static_cast<ReplayGain::Mode>(std::max(replayGainMode_->currentIndex(), 0)), preAmp_->value(),
                    untaggedGain_->value()};
    c.shuffle = shuffleMode_->currentIndex() == 1 ? ShuffleMode::Rediscover : ShuffleMode::Uniform;
    c.accounts = scrobbling_->accounts();
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
