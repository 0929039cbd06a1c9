#pragma once

// The band above the main panel: the caution line (what to do, or what the selected playlist
// holds), the buttons of the current step, the transport buttons, and the artwork and titles
// of the song that plays.
//
// Modes (`TopViewMode`): no playlist selected, the caution centred and asking for one; no
// songs; configuring, the caution along the top with the counts and the confirm button
// shown; playing, the reshuffle, export and back buttons shown.


#include <QIcon>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;

namespace platter {

// What the top panel shows.
enum class TopViewMode {
    NoSongs = -1,    // a caution: the songs are still being read, or there are none
    NoSelection = 0, // a caution: no playlist is selected
    Configuring = 1, // the selected playlist's counts and the button that shuffles it
    Playing = 2,     // the shuffled order's controls
};

class AppDelegate;
class ArtworkView;
struct Theme;

class MyTopViewController final : public QWidget {
    Q_OBJECT
public:
    static constexpr int panelHeight = 200;
    // The transport's width at the left, and the least the position and volume need beside it;
    // past these the artwork takes up to the panel's height.
    static constexpr int transportWidth = 240;
    static constexpr int positionRoom = 300;
    static QString cautionNoSongs() { return tr("Waiting for reading all your songs.... or no songs?"); }
    static QString cautionNoSelection() { return tr("Please select one of playlists at the left."); }

    explicit MyTopViewController(AppDelegate& app, QWidget* parent = nullptr);

    void setViewsWithMode(TopViewMode mode);
    void setCautionViewWithSongCount(std::int64_t songCount, std::int64_t albumCount, double seconds);
    void setAudioControlViewWithPlaying(bool playing, bool shouldDelete);
    // The transport buttons' pictures, drawn in the window's text colour.
    void setLook(const Theme& theme);
    // `artwork` is an encoded image; nothing, or bytes that are no image, show no artwork.
    void setArtworkAndTextsWithArtwork(const std::optional<std::string>& artwork, const std::string& song,
                                       const std::string& album, const std::string& artist);

    // "7 Songs, 1 Albums, 0.8 hours": hours to one decimal, halves away from zero.
    static QString countsText(std::int64_t songCount, std::int64_t albumCount, double seconds);

    // Button actions.
    void showPlaylist();
    void reshuffle();
    void exportPlaylist();
    void backToConfig();
    void playPause();
    void forward();
    void backward();

    // What the panel shows, for tests and the window's own checks.
    QLabel* cautionView() const { return cautionView_; }
    QWidget* configureView() const { return configureView_; }
    QWidget* playlistView() const { return playlistView_; }
    QToolButton* playPauseB() const { return playPauseB_; }
    QToolButton* forwardB() const { return forwardB_; }
    QToolButton* backwardB() const { return backwardB_; }
    QLabel* songTitle() const { return songTitle_; }
    QLabel* albumTitle() const { return albumTitle_; }
    QLabel* artistName() const { return artistName_; }
    QSlider* positionSlider() const { return positionSlider_; }
    QLabel* elapsedView() const { return elapsedView_; }
    QLabel* remainingView() const { return remainingView_; }
    QSlider* volumeSlider() const { return volumeSlider_; }
    bool showsArtwork() const;
    // Reads the song's position, length and the volume from the controller; a slider the user
    // holds keeps where the user put it.
    void refreshPosition();
    // "1:05", "1:02:03".
    static QString clockText(double seconds);
    bool cautionCentred() const { return cautionCentred_; }
    QWidget* artworkView() const;
    QWidget* transportView() const { return transportView_; }
    QWidget* positionView() const { return positionView_; }

signals:
    // The panel switched mode; the window's actions follow.
    void modeChanged(TopViewMode mode);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOut();
    void seekToSlider();
    void setTransportShown(bool shown);

    AppDelegate& ourDelegate_;
    QLabel* cautionView_;
    QWidget* configureView_;
    QWidget* playlistView_;
    QWidget* songInformationView_;
    ArtworkView* artworkView_;
    QLabel* songTitle_;
    QLabel* albumTitle_;
    QLabel* artistName_;
    QWidget* transportView_;
    QToolButton* playPauseB_;
    QToolButton* backwardB_;
    QToolButton* forwardB_;
    QToolButton* restartAlbumB_;
    QToolButton* nextAlbumB_;
    QWidget* positionView_;
    QLabel* elapsedView_;
    QSlider* positionSlider_;
    QLabel* remainingView_;
    QSlider* volumeSlider_;
    QTimer* positionTimer_;
    QIcon playImage_;
    QIcon pauseImage_;
    QIcon forwardImage_;
    QIcon backImage_;
    QIcon nextAlbumImage_;
    QIcon restartAlbumImage_;
    bool cautionCentred_ = true;
    // What the transport buttons show: nothing, or the play or the pause picture.
    enum class Transport { Hidden, Play, Pause } transport_ = Transport::Hidden;
};

} // namespace platter
