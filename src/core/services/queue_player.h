#pragma once

// A queue player: plays its items one after another, the next one starting where the last
// one ends, without a gap.
//
// States:
//   Paused   initial state; after pause(); the position in the current item is kept.
//   Playing  after play(); the current item plays, then the next, and so on.
// Items:
//   append() adds an item at the end of the queue; on an empty queue it becomes the current
//   item, at its start. When the current item ends (it played to its end, was sought past
//   its end, or could not be decoded), it leaves the queue, the listener hears itemEnded() on
//   the main thread, and the next item, if any, becomes current in the same state. When the
//   last item ends the queue is empty and nothing plays until items are appended.
//   removeAllItems() empties the queue without notifications; removeItemsAfterCurrent() keeps
//   the current item playing where it is and drops the others, for an order that changed.
// Output:
//   When the audio output fails (the device is gone or busy), no item is at fault: the player
//   pauses itself with the current item kept where it was, and the listener hears
//   outputFailed(). The next play() tries the output again from there.
// Seeking:
//   seekPlayer() moves within the current item; a time at or past its end ends it.
//   seekItem() moves within the current item; other items are not sought.
//   cueCurrent() puts the current item of a paused player `seconds` in, where the next play()
//   starts it: a playlist resumed where it stopped.
//   position() is the time into the current item; 0 with none.
//   No call waits for the audio to get ready: a seek asked before the player is ready to seek
//   (an item just loaded) is applied when it is, and position() reports its target meanwhile.
// Volume:
//   setVolume() takes a linear gain from 0 (silent) to 1 (as recorded), for every item.
// Loudness:
//   Each item is levelled by its file's ReplayGain: its track gain, its album gain, or none.
//   The gain changes with the item, at the first sample of the next. setGain() changes a
//   queued item's choice; the current item keeps the one it started with.
//   setReplayGainLevels() sets the pre-amp added to stored gains and the gain of files
//   without any; both apply at once, to items levelled at all.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platter {

class QueuePlayer {
public:
    using ItemId = std::uint64_t;
    enum class Gain : std::uint8_t { Recorded, Track, Album };

    class Listener {
    public:
        virtual ~Listener() = default;
        // `failed`: the item ended because it could not be played, not at its end.
        virtual void itemEnded(QueuePlayer& player, ItemId item, bool failed) = 0;
        // `reason`: the output's own words, for the user.
        virtual void outputFailed(QueuePlayer& /*player*/, const std::string& /*reason*/) {}
    };

    virtual ~QueuePlayer() = default;
    virtual void setListener(Listener* listener) = 0;

    // The queued items, the current one first.
    virtual std::vector<ItemId> items() const = 0;
    virtual std::optional<ItemId> currentItem() const = 0;
    // `duration`: the item's length in seconds, as read from its file.
    virtual void append(ItemId item, const std::string& path, double duration, Gain gain) = 0;
    virtual void setGain(ItemId item, Gain gain) = 0;
    // In dB: `preAmp` is added to stored gains, `untagged` is the gain of files without one.
    virtual void setReplayGainLevels(double preAmp, double untagged) = 0;
    virtual void removeAllItems() = 0;
    virtual void removeItemsAfterCurrent() = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void seekPlayer(double seconds) = 0;
    virtual void seekItem(ItemId item, double seconds) = 0;
    virtual void cueCurrent(double seconds) = 0;
    virtual double position() const = 0;
    virtual void setVolume(double linear) = 0;
};

class QueuePlayerFactory {
public:
    virtual ~QueuePlayerFactory() = default;
    virtual std::unique_ptr<QueuePlayer> create() = 0;
};

} // namespace platter
