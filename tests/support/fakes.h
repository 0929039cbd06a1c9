#pragma once

#include "core/services/artwork_reader.h"
#include "core/services/audio_files.h"
#include "core/services/dialogs.h"
#include "core/services/file_watcher.h"
#include "core/services/folder_watcher.h"
#include "core/services/music_files.h"
#include "core/services/file_writer.h"
#include "core/services/property_list_reader.h"
#include "core/services/queue_player.h"
#include "core/services/seeded_random.h"
#include "core/services/system_info.h"
#include "core/services/task_runner.h"
#include "core/app/app_delegate.h"
#include "platform/files/atomic_file.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platter::testing {

// Dialogs answered as the test told them to, in order. An open or save panel with no answer
// left is cancelled; a question with none left is declined. `whileOpen` runs inside every
// question and report, as the event loop does under a real one; each is recorded in `told`.
struct FakeDialogs final : Dialogs {
    std::function<void()> whileOpen;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<bool> answers;
    int openPanels = 0;
    std::vector<std::string> exportPanels;
    std::vector<std::string> told;
    std::vector<NothingPlayable> nothingPlayable;
    std::vector<NotALibrary> notALibrary;

    std::optional<std::string> runOpenPanel() override {
        ++openPanels;
        return next(openAnswers);
    }
    std::deque<std::optional<std::string>> folderAnswers;
    int folderPanels = 0;
    std::optional<std::string> runFolderPanel() override {
        ++folderPanels;
        return next(folderAnswers);
    }
    std::optional<std::string> runExportPanel(const std::string& playlist) override {
        exportPanels.push_back(playlist);
        return next(saveAnswers);
    }
    std::deque<std::optional<PreferencesChoice>> preferenceAnswers;
    std::vector<Preferences> preferencesShown;
    std::optional<PreferencesChoice> runPreferences(const Preferences& shown) override {
        preferencesShown.push_back(shown);
        if (preferenceAnswers.empty()) return std::nullopt;
        auto answer = preferenceAnswers.front();
        preferenceAnswers.pop_front();
        return answer;
    }
    // Quits once no answer is left.
    std::deque<NoLibraryChoice> noLibraryAnswers;
    std::vector<std::vector<std::string>> noLibraryAlerts;
    NoLibraryChoice runNoLibraryAlert(const std::vector<std::string>& lookedAt) override {
        noLibraryAlerts.push_back(lookedAt);
        if (noLibraryAnswers.empty()) return NoLibraryChoice::Quit;
        const auto answer = noLibraryAnswers.front();
        noLibraryAnswers.pop_front();
        return answer;
    }
    bool confirmReset() override { return answer("reset"); }
    bool explainNothingPlayable(const NothingPlayable& nothing) override {
        nothingPlayable.push_back(nothing);
        return answer("nothing playable");
    }
    void tellNotALibrary(const NotALibrary& file) override {
        notALibrary.push_back(file);
        report("not a library");
    }
    void tellExportFailed(const std::string& reason) override { report("export failed: " + reason); }
    void tellSongsLeftOut(const SongsLeftOut& e) override {
        report("left out " + std::to_string(e.leftOut) + " of " + std::to_string(e.total) + " in " + e.playlist);
    }
    void report(const std::string& what) {
        told.push_back(what);
        if (whileOpen) whileOpen();
    }
    bool answer(const std::string& what) {
        report(what);
        if (answers.empty()) return false;
        const auto yes = answers.front();
        answers.pop_front();
        return yes;
    }

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Writes through to the real atomic writer unless told to fail.
struct FakeFileWriter final : FileWriter {
    std::string failWith;
    int writes = 0;
    std::string writeAtomically(const std::string& path, std::string_view contents) override {
        ++writes;
        return failWith.empty() ? writeFileAtomically(path, contents) : failWith;
    }
};

// Draws the numbers it was given, in order, then seeded random ones.
struct ScriptedRandom final : RandomSource {
    std::deque<std::uint32_t> next;
    std::vector<std::uint32_t> bounds;
    SeededRandom fallback{42};
    std::uint32_t uniform(std::uint32_t bound) override {
        bounds.push_back(bound);
        if (next.empty()) return fallback.uniform(bound);
        const auto n = next.front();
        next.pop_front();
        return n;
    }
};

// Audio files with the lengths the test gave them, by file name; any other file is unreadable.
struct FakeAudioFiles final : AudioFiles {
    std::map<std::string, double> seconds;
    mutable int reads = 0;
    std::optional<double> duration(const std::string& path) const override {
        ++reads;
        const auto it = seconds.find(std::filesystem::path(path).filename().string());
        return it == seconds.end() ? std::nullopt : std::optional(it->second);
    }
};

// A queue player that plays nothing: the test ends its items.
struct FakeQueuePlayer final : QueuePlayer {
    struct Entry {
        ItemId id;
        std::string path;
        Gain gain;
    };
    Listener* listener = nullptr;
    const FakeAudioFiles* files = nullptr;
    std::vector<Entry> queue;
    std::vector<std::string> appended; // every path ever appended, in order
    bool playing = false;
    std::vector<std::pair<std::optional<ItemId>, double>> seeks;
    double at = 0; // the position in the current item
    double volume = 1.0;
    std::pair<double, double> replayGainLevels{0, 0};
    int* live = nullptr; // the factory's count of players not yet destroyed

    FakeQueuePlayer() = default;
    FakeQueuePlayer(const FakeQueuePlayer&) = delete;
    FakeQueuePlayer& operator=(const FakeQueuePlayer&) = delete;
    ~FakeQueuePlayer() override {
        if (live) --*live;
    }
    void setListener(Listener* l) override { listener = l; }
    std::vector<ItemId> items() const override {
        std::vector<ItemId> ids;
        for (const auto& e : queue)
            ids.push_back(e.id);
        return ids;
    }
    std::optional<ItemId> currentItem() const override {
        return queue.empty() ? std::nullopt : std::optional(queue.front().id);
    }
    void append(ItemId id, const std::string& path, double, Gain gain) override {
        queue.push_back({id, path, gain});
        appended.push_back(std::filesystem::path(path).filename().string());
    }
    void setGain(ItemId id, Gain gain) override {
        for (auto& e : queue)
            if (e.id == id) e.gain = gain;
    }
    void setReplayGainLevels(double preAmp, double untagged) override { replayGainLevels = {preAmp, untagged}; }
    void removeAllItems() override { queue.clear(); }
    void removeItemsAfterCurrent() override {
        if (!queue.empty()) queue.resize(1);
    }
    void cueCurrent(double seconds) override {
        if (!queue.empty()) at = seconds;
    }
    // The sound device went away: paused, with the queue kept.
    void loseOutput(const std::string& reason) {
        playing = false;
        listener->outputFailed(*this, reason);
    }
    void play() override { playing = true; }
    void pause() override { playing = false; }
    void seekPlayer(double seconds) override {
        seeks.emplace_back(std::nullopt, seconds);
        if (!queue.empty() && files && seconds >= *files->duration(queue.front().path)) return end();
        at = seconds;
    }
    void seekItem(ItemId id, double seconds) override {
        seeks.emplace_back(id, seconds);
        if (currentItem() == id) at = seconds;
    }
    double position() const override { return queue.empty() ? 0 : at; }
    void setVolume(double linear) override { volume = linear; }

    // The current item ends, as at its end or when it cannot be decoded.
    void end(bool failed = false) {
        const auto id = queue.front().id;
        queue.erase(queue.begin());
        at = 0;
        if (listener) listener->itemEnded(*this, id, failed);
    }
};

struct FakePlayers final : QueuePlayerFactory {
    const FakeAudioFiles* files = nullptr;
    std::vector<FakeQueuePlayer*> made; // destroyed ones dangle: see `live`
    int live = 0;
    std::unique_ptr<QueuePlayer> create() override {
        auto p = std::make_unique<FakeQueuePlayer>();
        p->files = files;
        p->live = &live;
        ++live;
        made.push_back(p.get());
        return p;
    }
};

// Artwork by audio file name.
struct FakeArtwork final : ArtworkReader {
    std::map<std::string, std::string> images;
    mutable int reads = 0;
    std::optional<std::string> artwork(const std::string& path) const override {
        ++reads;
        const auto it = images.find(std::filesystem::path(path).filename().string());
        return it == images.end() ? std::nullopt : std::optional(it->second);
    }
};

// Background and main-thread work held until the test runs it; network work apart.
struct ManualTasks final : TaskRunner {
    std::deque<std::function<void()>> background, network, main;
    void runInBackground(std::function<void()> work, Lane lane = Lane::Disk) override {
        (lane == Lane::Network ? network : background).push_back(std::move(work));
    }
    void runOnMainThread(std::function<void()> task) override { main.push_back(std::move(task)); }
    std::deque<std::function<void()>> later; // delayed tasks, in order, whatever their delay
    std::vector<std::chrono::milliseconds> delays; // each delay asked for, in order
    void runOnMainThreadAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        delays.push_back(delay);
        later.push_back(std::move(task));
    }
    static void drain(std::deque<std::function<void()>>& q) {
        while (!q.empty()) {
            auto f = std::move(q.front());
            q.pop_front();
            f();
        }
    }
};

struct FakeSystem final : SystemInfo {
    std::optional<std::string> region;
    std::string home = "/nonexistent-home";
    std::string music = "/nonexistent-music";
    std::optional<std::string> regionCode() const override { return region; }
    std::string homeDirectory() const override { return home; }
    std::string musicDirectory() const override { return music; }
};

// What the window would hear, each event with what it would read then: a selection's mode
// (0 none, 1 its albums, 2 its order); a playback change as "play SONG" when it starts playing,
// "pause" when it stops, else "now SONG row N", each "with ARTWORK" once there is some.
struct RecordingView final : AppObserver {
    const AppDelegate* app = nullptr;
    std::vector<std::string> calls;
    std::vector<std::vector<std::pair<std::string, std::string>>> linkPages;
    bool wasPlaying = false;
    void appChanged(AppEvent event) override {
        switch (event) {
        case AppEvent::Playlists:
            return calls.push_back("playlists");
        case AppEvent::Selection:
            return calls.push_back(!app->playlistNumber() ? "mode 0" : app->configuring() ? "mode 1" : "mode 2");
        case AppEvent::Order:
            return calls.push_back("main");
        case AppEvent::SongFiles:
            return calls.push_back("files");
        case AppEvent::Notices:
            return calls.push_back("notice");
        case AppEvent::Seeked:
            return calls.push_back("seeked");
        case AppEvent::Statistics:
            return calls.push_back("statistics");
        case AppEvent::LinkPages:
            linkPages.push_back(app->linkPages());
            return calls.push_back("links " + std::to_string(app->linkPages().size()));
        case AppEvent::Playback:
            break;
        }
        const bool playing = app->playbackStatus() == AppDelegate::PlaybackStatus::Playing;
        const auto now = app->nowPlaying();
        const auto& artwork = app->currentArtwork();
        const auto with = artwork ? " with " + *artwork : std::string();
        const auto* current = app->playlistAt(app->playinglistNumber() ? app->playinglistNumber() : app->playlistNumber());
        if (playing && !wasPlaying)
            calls.push_back("play " + (now ? now->song : std::string()) + with);
        else if (!playing && wasPlaying)
            calls.push_back("pause");
        else
            calls.push_back("now " + (now ? now->song : std::string()) + " row " +
                            std::to_string(current ? current->playingNum : -1) + with);
        wasPlaying = playing;
    }
};

// Counts the files a real reader is asked to read.
// The library watcher: the test says when the file changed.
struct FakeWatcher final : FileWatcher {
    std::string path;
    std::function<void()> changed;
    void watch(const std::string& p, std::function<void()> c) override {
        path = p;
        changed = std::move(c);
    }
};

// Music folders' audio files by path, with the tags their reader finds (none: unreadable).
struct FakeMusicFiles final : MusicFiles {
    struct File {
        std::int64_t size = 1, modifiedNs = 1;
        std::optional<AudioTags> tags;
    };
    std::map<std::string, File> files;
    mutable int tagReads = 0;
    std::vector<FoundFile> audioFilesBelow(const std::string& folder) const override {
        std::vector<FoundFile> found;
        for (const auto& [path, file] : files)
            if (path.starts_with(folder + "/")) found.push_back({path, file.size, file.modifiedNs});
        return found;
    }
    std::optional<AudioTags> tags(const std::string& path) const override {
        ++tagReads;
        const auto it = files.find(path);
        return it == files.end() ? std::nullopt : it->second.tags;
    }
};

struct FakeFolderWatcher final : FolderWatcher {
    std::vector<std::string> folders;
    std::function<void()> changed;
    void watchFolders(const std::vector<std::string>& f, std::function<void()> c) override {
        folders = f;
        changed = std::move(c);
    }
};

struct CountingReader final : PropertyListReader {
    explicit CountingReader(const PropertyListReader& wrapped) : real(wrapped) {}
    const PropertyListReader& real;
    mutable int fileReads = 0;
    Result readFile(const std::string& path) const override {
        ++fileReads;
        return real.readFile(path);
    }
    Result parse(std::string_view bytes) const override { return real.parse(bytes); }
};

} // namespace platter::testing
