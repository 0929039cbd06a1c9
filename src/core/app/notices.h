#pragma once

// What the user should know, as facts: the window words them. A notice stands until what it
// tells of is over; the controller says when the notices that stand changed.

#include <cstdint>
#include <string>

namespace platter {

struct Notice {
    enum class Kind {
        // Some stored choices, orders or positions could not be read: they are not kept. `path`
        // is where the settings file as it was is kept, when a copy could be made.
        SettingsPartlyUnread,
        // Some stored orders or positions could not be read: those playlists start afresh.
        StatePartlyUnread,
        // Orders and positions kept with the settings by an earlier version could not be moved
        // to the state folder; they stay there and move at the next start.
        StateNotMoved,
        // The settings file could not be written; tried again at the next change.
        SettingsUnsaved,
        // A state file could not be written; tried again at the next change.
        StateUnsaved,
        // The sound output failed; playback is paused until Play.
        OutputUnavailable,
        // The folder `path` that holds the songs to play cannot be reached; playback is paused.
        MusicUnreachable,
        // The statistics database was damaged (moved aside to `path`) or missing (`path` empty):
        // its copy made at `date` took its place, with what was counted until then.
        StatisticsRestored,
        // The statistics database was damaged and had no usable copy: it was moved aside to
        // `path`, and counting starts afresh. The library file's counts stay.
        StatisticsStartedAfresh,
        // The statistics database cannot be opened (`reason`): nothing is counted beyond this run.
        StatisticsUnavailable,
        // The statistics database is a newer version's: it is left as it is, and nothing is
        // counted beyond this run.
        StatisticsFromNewerVersion,
        // The scrobbling accounts file could not be read: it was moved aside to `path`, and no
        // listens are sent until the accounts are set again.
        ScrobbleAccountsUnread,
        // The scrobbling site whose queue is `reason` refused its account: its listens wait until
        // the account is set again.
        ScrobbleAccountRejected,
    };
    Kind kind;
    std::string path;   // the file or folder concerned, where one is
    std::string reason; // the system's own words, where it gave any
    std::int64_t date = 0; // UTC seconds since 1970, where the notice tells of a moment

    bool operator==(const Notice&) const = default;
};

} // namespace platter
