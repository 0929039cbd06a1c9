#include "ui/top_view_controller.h"

#include "core/app/app_delegate.h"
#include "ui/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace platter {

// The playing song's artwork, scaled to fit up or down with its proportions kept.
class ArtworkView final : public QWidget {
public:
    using QWidget::QWidget;
    void setImage(QPixmap image) {
        image_ = std::move(image);
        update();
    }
    bool hasImage() const { return !image_.isNull(); }

protected:
    void paintEvent(QPaintEvent*) override {
        if (image_.isNull()) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const auto size = image_.size().scaled(this->size(), Qt::KeepAspectRatio);
        painter.drawPixmap(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size),
                           image_);
    }

private:
    QPixmap image_;
};

namespace {

// A click on the groove puts the handle there, rather than a page step towards it, and goes on
// as a drag: where the button is let go is where the song or the volume goes.
class AbsoluteSlider final : public QSlider {
public:
    using QSlider::QSlider;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && maximum() > minimum()) {
            QStyleOptionSlider option;
            initStyleOption(&option);
            const auto handle =
                style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
            const auto at = event->position().toPoint();
            if (!handle.contains(at)) {
                const auto groove =
                    style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
                const bool across = orientation() == Qt::Horizontal;
                const int length = across ? handle.width() : handle.height();
                const int span = (across ? groove.width() : groove.height()) - length;
                const int offset = (across ? at.x() - groove.x() : at.y() - groove.y()) - length / 2;
                setSliderPosition(
                    QStyle::sliderValueFromPosition(minimum(), maximum(), offset, span, option.upsideDown));
            }
        }
        QSlider::mousePressEvent(event);
    }
};

// A transport button's tooltip while it shows its picture.
constexpr const char* shownTip = "shownTip";

QToolButton* transportButton(QWidget* parent, const QString& name, const QString& tip, int size) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setProperty(shownTip, tip);
    b->setAutoRaise(true);
    b->setFixedSize(size, size);
    b->setIconSize(QSize(size - 12, size - 12));
    // Reached with Tab, not taken by a click: the focus stays in the list the user works in.
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QPushButton* stepButton(QWidget* parent, const QString& title, const QString& tip) {
    auto* b = new QPushButton(title, parent);
    b->setToolTip(tip);
    b->setMinimumHeight(30);
    b->setAutoDefault(true); // Return presses the focused one; Space stays Play/Pause
    return b;
}

QLabel* titleField(QWidget* parent, const QString& name, int pixelSize, bool bold) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

MyTopViewController::MyTopViewController(AppDelegate& app, QWidget* parent)
    : QWidget(parent), ourDelegate_(app), cautionView_(new QLabel(this)), configureView_(new QWidget(this)),
      playlistView_(new QWidget(this)), songInformationView_(new QWidget(this)),
      artworkView_(new ArtworkView(songInformationView_)),
      songTitle_(titleField(songInformationView_, QStringLiteral("songTitle"), 13, true)),
      albumTitle_(titleField(songInformationView_, QStringLiteral("albumTitle"), 12, false)),
      artistName_(titleField(songInformationView_, QStringLiteral("artistName"), 12, false)),
      transportView_(new QWidget(this)),
      playPauseB_(transportButton(transportView_, QStringLiteral("playPause"), tr("Play or pause"), 48)),
      backwardB_(transportButton(transportView_, QStringLiteral("backward"), tr("Restart the song"), 40)),
      forwardB_(transportButton(transportView_, QStringLiteral("forward"), tr("Next song"), 40)),
      restartAlbumB_(transportButton(transportView_, QStringLiteral("restartAlbum"),
                                     tr("Restart the album, disc or song that plays"), 38)),
      nextAlbumB_(transportButton(transportView_, QStringLiteral("nextAlbum"),
                                  tr("Skip the rest of the album, disc or song that plays"), 38)),
      positionView_(new QWidget(this)), elapsedView_(new QLabel(positionView_)),
      positionSlider_(new AbsoluteSlider(Qt::Horizontal, positionView_)),
      remainingView_(new QLabel(positionView_)),
      volumeSlider_(new AbsoluteSlider(Qt::Horizontal, positionView_)), positionTimer_(new QTimer(this)) {
    setLook(Theme::of(palette()));
    setObjectName(QStringLiteral("topPanel"));
    setFixedHeight(panelHeight);
    // The artwork gives way first, down to nothing; the transport and the position stay whole.
    setMinimumWidth(transportWidth + positionRoom + 16);
    setAttribute(Qt::WA_StyledBackground);
    cautionView_->setObjectName(QStringLiteral("caution"));

    auto* confirm = stepButton(configureView_, tr("Shuffle Albums"),
                               tr("Keep these album choices and show the shuffled order"));
    confirm->setObjectName(QStringLiteral("showList"));
    confirm->setDefault(true);
    auto* configureLayout = new QHBoxLayout(configureView_);
    configureLayout->setContentsMargins(20, 0, 0, 0);
    configureLayout->addWidget(confirm);
    connect(confirm, &QPushButton::clicked, this, &MyTopViewController::showPlaylist);

    auto* again = stepButton(playlistView_, tr("Reshuffle"), tr("Draw a new random order"));
    auto* exporting = stepButton(playlistView_, tr("Export…"),
                                 tr("Save this order as a playlist file the library application imports"));
    auto* back =
        stepButton(playlistView_, tr("Edit Albums"), tr("Back to choosing how each album is shuffled"));
    again->setObjectName(QStringLiteral("reshuffle"));
    exporting->setObjectName(QStringLiteral("export"));
    back->setObjectName(QStringLiteral("backToConfig"));
    auto* listLayout = new QHBoxLayout(playlistView_);
    listLayout->setContentsMargins(20, 0, 0, 0);
    listLayout->setSpacing(10);
    for (auto* b : {again, exporting, back})
        listLayout->addWidget(b);
    listLayout->addStretch();
    connect(again, &QPushButton::clicked, this, &MyTopViewController::reshuffle);
    connect(exporting, &QPushButton::clicked, this, &MyTopViewController::exportPlaylist);
    connect(back, &QPushButton::clicked, this, &MyTopViewController::backToConfig);

    auto* transportLayout = new QHBoxLayout(transportView_);
    transportLayout->setContentsMargins(14, 0, 0, 0);
    transportLayout->setSpacing(6);
    for (auto* b : {backwardB_, playPauseB_, forwardB_})
        transportLayout->addWidget(b, 0, Qt::AlignVCenter);
    transportLayout->addSpacing(6);
    for (auto* b : {restartAlbumB_, nextAlbumB_})
        transportLayout->addWidget(b, 0, Qt::AlignVCenter);
    transportLayout->addStretch();
    connect(restartAlbumB_, &QToolButton::clicked, this, [this] { ourDelegate_.restartAlbum(); });
    connect(nextAlbumB_, &QToolButton::clicked, this, [this] { ourDelegate_.nextAlbum(); });
    connect(playPauseB_, &QToolButton::clicked, this, &MyTopViewController::playPause);
    connect(forwardB_, &QToolButton::clicked, this, &MyTopViewController::forward);
    connect(backwardB_, &QToolButton::clicked, this, &MyTopViewController::backward);

    positionSlider_->setObjectName(QStringLiteral("position"));
    positionSlider_->setToolTip(tr("Where the song is; drag to move within it"));
    elapsedView_->setObjectName(QStringLiteral("elapsed"));
    remainingView_->setObjectName(QStringLiteral("remaining"));
    for (auto* clock : {elapsedView_, remainingView_}) {
        clock->setMinimumWidth(QFontMetrics(clock->font()).horizontalAdvance(QStringLiteral("-0:00:00")));
        clock->setAlignment(Qt::AlignCenter);
    }
    volumeSlider_->setObjectName(QStringLiteral("volume"));
    volumeSlider_->setToolTip(tr("Volume"));
    volumeSlider_->setAccessibleName(tr("Volume"));
    volumeSlider_->setRange(0, 100);
    volumeSlider_->setFixedWidth(90);
    auto* positionLayout = new QHBoxLayout(positionView_);
    positionLayout->setContentsMargins(0, 0, 0, 0);
    positionLayout->setSpacing(6);
    positionLayout->addWidget(elapsedView_);
    positionLayout->addWidget(positionSlider_, 1);
    positionLayout->addWidget(remainingView_);
    positionLayout->addSpacing(12);
    positionLayout->addWidget(volumeSlider_);
    // A drag seeks when it is let go, a click on the groove at once.
    connect(positionSlider_, &QSlider::sliderReleased, this, &MyTopViewController::seekToSlider);
    connect(positionSlider_, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            QTimer::singleShot(0, this, &MyTopViewController::seekToSlider);
    });
    connect(positionSlider_, &QSlider::sliderMoved, this,
            [this](int ms) { elapsedView_->setText(clockText(ms / 1000.0)); });
    connect(volumeSlider_, &QSlider::valueChanged, this,
            [this](int percent) { ourDelegate_.setVolume(percent / 100.0); });
    positionTimer_->setInterval(250);
    connect(positionTimer_, &QTimer::timeout, this, &MyTopViewController::refreshPosition);

    // The step buttons and the transport lie over the song information's empty left part.
    configureView_->raise();
    playlistView_->raise();
    transportView_->raise();
    positionView_->raise();

    setArtworkAndTextsWithArtwork(std::nullopt, {}, {}, {});
    setViewsWithMode(TopViewMode::NoSelection);
    playPauseB_->setIcon({});
    forwardB_->setIcon({});
    backwardB_->setIcon({});
    setTransportShown(false);
}

QString MyTopViewController::countsText(std::int64_t songCount, std::int64_t albumCount, double seconds) {
    const double hours = std::round(seconds / 360) / 10;
    QString number;
    if (std::isnan(hours))
        number = QStringLiteral("nan");
    else if (std::isinf(hours))
        number = hours > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    else
        number = QLocale().toString(hours, 'f', 1);
    return tr("%L1 Songs, %L2 Albums, %3 hours").arg(songCount).arg(albumCount).arg(number);
}

void MyTopViewController::setViewsWithMode(TopViewMode mode) {
    switch (mode) {
    case TopViewMode::NoSelection:
        configureView_->hide();
        playlistView_->hide();
        cautionCentred_ = true;
        cautionView_->setText(cautionNoSelection());
        break;
    case TopViewMode::NoSongs:
        cautionCentred_ = true;
        cautionView_->setText(cautionNoSongs());
        break;
    case TopViewMode::Configuring:
        playlistView_->hide();
        configureView_->show();
        cautionCentred_ = false;
        break;
    case TopViewMode::Playing:
        configureView_->hide();
        playlistView_->show();
        break;
    }
    positionView_->setVisible(mode == TopViewMode::Playing);
    if (mode == TopViewMode::Playing)
        positionTimer_->start();
    else
        positionTimer_->stop();
    refreshPosition();
    layOut();
    emit modeChanged(mode);
}

void MyTopViewController::setCautionViewWithSongCount(std::int64_t songCount, std::int64_t albumCount,
                                                      double seconds) {
    cautionView_->setText(countsText(songCount, albumCount, seconds));
}

void MyTopViewController::setLook(const Theme& theme) {
    playImage_ = theme.glyph(QStringLiteral(":/play.png"));
    pauseImage_ = theme.glyph(QStringLiteral(":/pause.png"));
    forwardImage_ = theme.glyph(QStringLiteral(":/forward.png"));
    backImage_ = theme.glyph(QStringLiteral(":/backward.png"));
    nextAlbumImage_ = theme.albumGlyph(QStringLiteral(":/forward.png"));
    restartAlbumImage_ = theme.albumGlyph(QStringLiteral(":/backward.png"));
    if (transport_ != Transport::Hidden) setAudioControlViewWithPlaying(transport_ == Transport::Pause, false);
}

void MyTopViewController::setAudioControlViewWithPlaying(bool playing, bool shouldDelete) {
    transport_ = !playing && shouldDelete ? Transport::Hidden : playing ? Transport::Pause : Transport::Play;
    setTransportShown(transport_ != Transport::Hidden);
    if (transport_ == Transport::Hidden) {
        playPauseB_->setIcon({});
        forwardB_->setIcon({});
        backwardB_->setIcon({});
        nextAlbumB_->setIcon({});
        restartAlbumB_->setIcon({});
        return;
    }
    forwardB_->setIcon(forwardImage_);
    backwardB_->setIcon(backImage_);
    nextAlbumB_->setIcon(nextAlbumImage_);
    restartAlbumB_->setIcon(restartAlbumImage_);
    playPauseB_->setIcon(playing ? pauseImage_ : playImage_);
    playPauseB_->setProperty(shownTip, playing ? tr("Pause") : tr("Play"));
    playPauseB_->setToolTip(playPauseB_->property(shownTip).toString());
}

void MyTopViewController::setArtworkAndTextsWithArtwork(const std::optional<std::string>& artwork,
                                                        const std::string& song, const std::string& album,
                                                        const std::string& artist) {
    QPixmap image;
    if (artwork)
        image.loadFromData(reinterpret_cast<const uchar*>(artwork->data()),
                           static_cast<uint>(artwork->size()));
    artworkView_->setImage(std::move(image));
    songTitle_->setText(QString::fromStdString(song));
    albumTitle_->setText(QString::fromStdString(album));
    artistName_->setText(QString::fromStdString(artist));
    for (auto* field : {songTitle_, albumTitle_, artistName_})
        field->setToolTip(field->text());
}

void MyTopViewController::setTransportShown(bool shown) {
    // Buttons without a picture are not there for the user: no tooltip, no click. Space and the
    // media keys still play and pause through the menu's actions.
    for (auto* button : {backwardB_, playPauseB_, forwardB_, restartAlbumB_, nextAlbumB_}) {
        button->setEnabled(shown);
        button->setToolTip(shown ? button->property(shownTip).toString() : QString());
    }
}

QWidget* MyTopViewController::artworkView() const {
    return artworkView_;
}

bool MyTopViewController::showsArtwork() const {
    return artworkView_->hasImage();
}

void MyTopViewController::showPlaylist() {
    ourDelegate_.showPlaylist();
    // Without a playlist there is no order to show: the panel stays as it is.
    if (ourDelegate_.configuring() || !ourDelegate_.playlistAt(ourDelegate_.playlistNumber())) return;
    setViewsWithMode(TopViewMode::Playing);
    setAudioControlViewWithPlaying(ourDelegate_.playinglistNumber().has_value(), false);
}

void MyTopViewController::reshuffle() {
    ourDelegate_.reshuffle();
}
void MyTopViewController::exportPlaylist() {
    ourDelegate_.exportPlaylist();
}
void MyTopViewController::backToConfig() {
    ourDelegate_.backToConfig();
}

void MyTopViewController::playPause() {
    ourDelegate_.playPause();
}

void MyTopViewController::forward() {
    ourDelegate_.forward();
}
QString MyTopViewController::clockText(double seconds) {
    const auto total = std::isfinite(seconds) ? static_cast<long long>(std::max(seconds, 0.0)) : 0;
    const auto h = total / 3600, m = total / 60 % 60, sec = total % 60;
    return h > 0 ? QStringLiteral("%1:%2:%3")
                       .arg(h)
                       .arg(m, 2, 10, QLatin1Char('0'))
                       .arg(sec, 2, 10, QLatin1Char('0'))
                 : QStringLiteral("%1:%2").arg(m).arg(sec, 2, 10, QLatin1Char('0'));
}

void MyTopViewController::refreshPosition() {
    const QSignalBlocker volumeBlocker(volumeSlider_);
    volumeSlider_->setValue(static_cast<int>(std::lround(ourDelegate_.volume() * 100)));
    const bool seekable = ourDelegate_.canSeek();
    positionSlider_->setEnabled(seekable);
    const double length = seekable ? ourDelegate_.currentLength() : 0;
    const double at = seekable ? ourDelegate_.position() : 0;
    elapsedView_->setVisible(seekable);
    remainingView_->setVisible(seekable);
    if (positionSlider_->isSliderDown()) return;
    const QSignalBlocker positionBlocker(positionSlider_);
    positionSlider_->setRange(0, static_cast<int>(length * 1000));
    positionSlider_->setPageStep(std::max(1000, static_cast<int>(length * 100)));
    positionSlider_->setValue(static_cast<int>(at * 1000));
    elapsedView_->setText(clockText(at));
    remainingView_->setText(QStringLiteral("-") + clockText(length - at));
}

void MyTopViewController::seekToSlider() {
    if (ourDelegate_.canSeek()) ourDelegate_.seek(positionSlider_->sliderPosition() / 1000.0);
    refreshPosition();
}

void MyTopViewController::backward() {
    ourDelegate_.backward();
}

void MyTopViewController::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void MyTopViewController::layOut() {
    const int w = width();
    const int h = height();
    // On a narrow panel the artwork shrinks, down to nothing, before the position does.
    const int side = std::clamp(w - transportWidth - positionRoom - 16, 0, h);
    songInformationView_->setGeometry(w - 800, 0, 800, h);
    artworkView_->setGeometry(800 - side, 0, side, h);
    artworkView_->setVisible(side > 0);
    const int titlesRight = 800 - side - 2;
    int top = 2 + 6; // a little air above the first title
    for (auto* field : {songTitle_, albumTitle_, artistName_}) {
        field->setGeometry(titlesRight - 600 - 12, top, 600, 18);
        top += 18 + 2;
    }
    if (cautionCentred_)
        cautionView_->setGeometry((w - 300) / 2, (h - 17) / 2, 300, 17);
    else
        cautionView_->setGeometry(20, 10, w - 20, 17);
    cautionView_->setAlignment(cautionCentred_ ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    configureView_->setGeometry(0, (h - 61) / 2, 155, 61);
    playlistView_->setGeometry(0, (h - 61) / 2, std::min(475, w - side), 61);
    transportView_->setGeometry(0, h - 62, transportWidth, 56);
    // Beside the transport, up to the artwork.
    positionView_->setGeometry(transportWidth, h - 62, std::max(0, w - side - 16 - transportWidth), 56);
}

} // namespace platter
