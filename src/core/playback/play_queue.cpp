// Playing a shuffled order through its playlist's queue player: forty minutes queued ahead,
// songs without a playable file skipped, and the next song remembered after every song.

#include "core/library/app_delegate.h"
#include "core/services/audio_files.h"
#include "core/services/dialogs.h"
#include "core/services/view_refresh.h"
#include "core/settings/user_defaults.h"
#include "core/text/string_rules.h"

#include <algorithm>

namespace platter {

namespace {
constexpr double queueWindowSeconds = 2400.0;
}

void MyPlaylist::addItems(const FilePreparer& prepare, QueuePlayer::ItemId& nextItemId) {
    const auto count = shuffledSongs.size();
    while (addedTime - finishedTime < queueWindowSeconds && songsVisited_ < count) {
        const auto index = nextNumToAdd;
        if (auto file = prepare(*shuffledSongs[static_cast<std::size_t>(index)])) {
            addedTime += file->duration;
            const auto id = nextItemId++;
            player->append(id, file->path, file->duration);
            playerItems.push_back({id, std::move(file->path), file->duration});
            indexesOfItems.push_back(index);
        } else {
            unplayableIndexes.insert(index);
        }
        ++songsVisited_;
        nextNumToAdd = (index + 1) % static_cast<std::int64_t>(count);
    }
}

std::int64_t MyPlaylist::nextPlayableAfter(std::int64_t from) const {
    const auto count = static_cast<std::int64_t>(shuffledSongs.size());
    for (std::int64_t step = 1; step < count; ++step) {
        const auto candidate = (from + step) % count;
        if (!unplayableIndexes.contains(candidate)) return candidate;
    }
    return from;
}

void MyPlaylist::updatePlayWithPlayerItem(const PlayerItem& item, const FilePreparer& prepare,
                                          QueuePlayer::ItemId& nextItemId) {
    finishedTime += item.duration;
    addItems(prepare, nextItemId);
    playingNum = nextPlayableAfter(playingNum);
}

std::optional<MyPlaylist::NowPlaying> MyPlaylist::nowPlayingInfo() const {
    if (playingNum < 0 || static_cast<std::size_t>(playingNum) >= shuffledSongs.size()) return std::nullopt;
    const auto& song = *shuffledSongs[static_cast<std::size_t>(playingNum)];
    return NowPlaying{std::string(song.name()), std::string(song.album()), std::string(song.artist())};
}

MyPlaylist::FilePreparer AppDelegate::filePreparer() const {
    return [this](const MySong& song) -> std::optional<MyPlaylist::QueuedFile> {
        if (song.fileStatus() != SongFile::Status::Found) return std::nullopt;
        std::string path(song.filePath());
        const auto seconds = services_.audioFiles.duration(path);
        if (!seconds) return std::nullopt;
        return MyPlaylist::QueuedFile{std::move(path), *seconds};
    };
}

void AppDelegate::playMusic() {
    auto* selected = playlistAt(playlistNumber_);
    if (!selected || configuring_) return;
    if (playinglistNumber_) {
        if (*playinglistNumber_ == *playlistNumber_) return;
        pauseMusic();
    }
    if (selected->shuffledSongs.empty()) return;
    // Queueing reads where the files are; the search for them is still under way.
    if (!songFilesKnown_) {
        playWhenFilesKnown_ = true;
        return;
    }
    if (!selected->player) {
        selected->player = services_.players.create();
        if (!selected->player) return;
        selected->player->setListener(this);
    }
    if (selected->player->items().empty()) {
        selected->addItems(filePreparer(), nextItemId_);
        // A resumed position whose song cannot be played moves on to one that can.
        if (selected->unplayableIndexes.contains(selected->playingNum))
            selected->playingNum = selected->nextPlayableAfter(selected->playingNum);
    }
    // Nothing in the order can be played: stay stopped rather than pretend to play, and say why.
    if (selected->player->items().empty()) {
        explainNothingPlayable(*selected);
        return;
    }
    setAudioNotice({});
    selected->player->play();
    playinglistNumber_ = playlistNumber_;
    if (viewCont_)
        if (const auto info = selected->nowPlayingInfo())
            viewCont_->willPlayWithArtwork(nowPlayingArtwork(*selected), info->song, info->album,
                                           info->artist);
}

void AppDelegate::explainNothingPlayable(const MyPlaylist& playlist) {
    const auto& files = playlist.files();
    Dialogs::Alert alert{.style = Dialogs::AlertStyle::Warning,
                         .message = "Nothing in \u201c" + playlist.name() + "\u201d can be played.",
                         .informativeText = {},
                         .buttons = {"OK"}};
    if (files.notFound > 0) {
        alert.informativeText =
            "The files of " + groupedNumber(files.notFound) + " of its " + groupedNumber(files.total()) +
            " songs are not on this computer where the library says. If your music is in another "
            "folder or on a drive, choose that folder and " + std::string(bundleName) + " will look there.";
        alert.buttons = {"Find Music Folder\u2026", "Cancel"};
    } else if (files.found == 0) {
        alert.informativeText = "Its songs are streams or songs kept in the cloud; " + std::string(bundleName) +
                                " plays files on this computer only.";
    } else {
        alert.informativeText = "Its songs' files are here, but none of them could be read as audio.";
    }
    if (dialogs_.runAlert(alert) == 0 && files.notFound > 0 && chooseMusicFolder())
        playWhenFilesKnown_ = true;
}

void AppDelegate::pauseMusic() {
    auto* playing = playlistAt(playinglistNumber_);
    if (!playing) return;
    if (playing->player) playing->player->pause();
    const bool selected = playlistAt(playlistNumber_) != nullptr;
    if (viewCont_)
        viewCont_->willPauseWithAudioShoudDelete(!selected || configuring_,
                                                 selected && playlistNumber_ != playinglistNumber_);
    playinglistNumber_.reset();
}

void AppDelegate::updatePlayWithNotification(QueuePlayer& player, QueuePlayer::ItemId ended, bool failed) {
    auto* playlist = playlistAt(playinglistNumber_);
    if (!playlist || playlist->player.get() != &player) return;
    const auto& items = playlist->playerItems;
    const auto found = std::find_if(items.begin(), items.end(), [&](const auto& i) { return i.id == ended; });
    if (found == items.end()) return;
    const auto item = *found;
    const auto position = static_cast<std::size_t>(found - items.begin());
    // An item that could not be played ends like any other and is not offered again.
    if (failed) playlist->unplayableIndexes.insert(playlist->indexesOfItems[position]);
    playlist->updatePlayWithPlayerItem(item, filePreparer(), nextItemId_);

    if (playlist->player->items().empty()) {
        // The whole order has played: rewind to where the queue began, paused.
        pauseMusic();
        playlist->player->removeAllItems();
        playlist->finishedTime = 0;
        bool first = true;
        for (std::size_t i = 0; i < playlist->playerItems.size(); ++i) {
            const auto index = playlist->indexesOfItems[i];
            if (playlist->unplayableIndexes.contains(index)) continue;
            if (first) playlist->playingNum = index;
            first = false;
            playlist->player->append(playlist->playerItems[i].id, playlist->playerItems[i].path,
                                     playlist->playerItems[i].duration);
        }
        playlist->player->seekPlayer(0);
    }
    playingNumDict_[playlist->persistentID()] = playlist->playingNum;
    storePositions();
    if (viewCont_)
        if (const auto info = playlist->nowPlayingInfo())
            viewCont_->updatePlayingSongWithArtwork(nowPlayingArtwork(*playlist), info->song, info->album,
                                                    info->artist, playlist->playingNum);
}

void AppDelegate::itemEnded(QueuePlayer& player, QueuePlayer::ItemId item, bool failed) {
    updatePlayWithNotification(player, item, failed);
}

void AppDelegate::outputFailed(QueuePlayer& player, const std::string& reason) {
    const auto* playing = playlistAt(playinglistNumber_);
    if (!playing || playing->player.get() != &player) return;
    // No song is to blame: every one stays playable, and Play tries the output again.
    pauseMusic();
    setAudioNotice("The sound output is not available (" + reason +
                   "). Playback is paused; press Play to try again.");
}

void AppDelegate::setAudioNotice(std::string text) {
    if (audioNotice_ == text) return;
    audioNotice_ = std::move(text);
    if (viewCont_) viewCont_->refreshStatusNotice();
}

const MyPlaylist::PlayerItem* AppDelegate::currentItemOf(const MyPlaylist& playlist) const {
    if (!playlist.player) return nullptr;
    const auto current = playlist.player->currentItem();
    if (!current) return nullptr;
    for (const auto& item : playlist.playerItems)
        if (item.id == *current) return &item;
    return nullptr;
}

void AppDelegate::forward() {
    const auto* playing = playlistAt(playinglistNumber_);
    if (!playing) return;
    // Never before the item's end, so it ends at once and the next song follows.
    if (const auto* item = currentItemOf(*playing))
        playing->player->seekPlayer(item->duration + playing->finishedTime);
}

void AppDelegate::backward() {
    const auto* playing = playlistAt(playinglistNumber_);
    if (!playing) return;
    if (const auto* item = currentItemOf(*playing)) playing->player->seekItem(item->id, 0);
}

} // namespace platter
