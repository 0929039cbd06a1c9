#pragma once

#include "core/plist/library_problem.h"
#include "core/services/accounts_store.h"
#include "core/services/replay_gain.h"
#include "core/services/shuffle_mode.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platter {

// A scrobbling site's queue of listens, as the preferences show it.
struct ListenQueue {
    bool sending = false; // the account is complete, and listens go to the site
    std::size_t waiting = 0;
    std::optional<std::int64_t> lastAccepted; // UTC seconds
    bool rejected = false;
    friend bool operator==(const ListenQueue&, const ListenQueue&) = default;
};
using ListenQueues = std::array<ListenQueue, 3>; // in the order of ScrobbleSite

// What the preferences window asks of the scrobbling sites while it is open, on the network
// lane; every answer comes on the main thread.
class ScrobbleAccountChecks {
public:
    virtual ~ScrobbleAccountChecks() = default;
    // While the window is open, `changed` hears the queues whenever one changes; an empty
    // function ends that.
    virtual void followQueues(std::function<void(const ListenQueues&)> changed) = 0;
    // Whether the site takes the account as it is entered.
    virtual void check(ScrobbleSite site, const ScrobbleAccounts& accounts,
                       std::function<void(AccountCheckAnswer)> answer) = 0;
    // The desktop sign-in at an Audioscrobbler site with the application's key and secret (for
    // Libre.fm, Platter's own when none is given): `openPage` gets the page where the user
    // approves Platter, then `done` the account with its session, or nothing when the site
    // refused or could not be reached. One at a time: a new one, or cancelSignIn(), ends the
    // one before without a word.
    using Account = ScrobbleAccounts::AudioscrobblerAccount;
    virtual void signIn(ScrobbleSite site, const Account& application,
                        std::function<void(const std::string& page)> openPage,
                        std::function<void(std::optional<Account>)> done) = 0;
    virtual void cancelSignIn() = 0;
};

// Modal dialogs: the controller's questions and reports, as facts; the window words them.
// Each call blocks until the user answers.
class Dialogs {
public:
    // The preferences window: the countries to choose from, the row shown selected, the ratio.
    struct Preferences {
        std::vector<std::string> countries;
        std::optional<std::size_t> selectedCountry;
        std::int64_t ratio = 25;
        std::vector<std::string> musicFolders;
        ReplayGain replayGain;
        ShuffleMode shuffle = ShuffleMode::Uniform;
        // The scrobbling accounts, and each site's queue of listens as the window opens.
        ScrobbleAccounts accounts;
        ListenQueues queues{};
        ScrobbleAccountChecks* checks = nullptr; // none: no Check or Sign In buttons
    };
    // What the user confirmed with OK: the selected row (if any), the ratio as typed and the
    // music folders as the list shows them.
    struct PreferencesChoice {
        std::optional<std::size_t> selectedCountry;
        std::string ratioText;
        std::vector<std::string> musicFolders;
        ReplayGain replayGain;
        ShuffleMode shuffle = ShuffleMode::Uniform;
        ScrobbleAccounts accounts = {};
    };

    // The answer to the panel explaining that Platter cannot go on without a library file.
    enum class NoLibraryChoice { ChooseAgain, Quit };

    // Play found nothing to play in `playlist`.
    struct NothingPlayable {
        enum class Why {
            FilesNotHere, // `notFound` of its `total` songs' files are not where the library says
            NoFiles,      // its songs are streams or kept in the cloud
            Unreadable,   // its files are here, but none could be read as audio
        };
        std::string playlist;
        Why why = Why::FilesNotHere;
        std::int64_t notFound = 0;
        std::int64_t total = 0;
    };

    // A file chosen as the library that is none.
    struct NotALibrary {
        enum class Why {
            NoFile,     // its location is no file
            Unreadable, // it could not be read: `detail` gives the reader's words
            NoLibrary,  // it was read, but is no library: `problem` says what is wrong
        };
        std::string fileName;
        Why why = Why::NoLibrary;
        std::string detail;
        LibraryProblem problem;
    };

    virtual ~Dialogs() = default;
    // The open panel for the library file: the chosen file's path, or nothing when the user
    // cancelled.
    virtual std::optional<std::string> runOpenPanel() = 0;
    // Where to export the order of the playlist named `playlist`: the chosen path, or nothing
    // when the user cancelled. A name ending in .m3u8 (or .m3u) is an M3U8 playlist, any other
    // the XML playlist; the panel names the file by the type the user chose.
    virtual std::optional<std::string> runExportPanel(const std::string& playlist) = 0;
    // The chooser of a folder that holds the library's music: the chosen folder, or nothing
    // when the user cancelled.
    virtual std::optional<std::string> runFolderPanel() = 0;
    // Said when the user closed the open panel while no library is known: why Platter needs the
    // file and the paths where it looked; the user chooses again or quits.
    virtual NoLibraryChoice runNoLibraryAlert(const std::vector<std::string>& lookedAt) = 0;
    // Whether the user confirms that Reset reads the library again, the playlists' orders
    // made here going.
    virtual bool confirmReset() = 0;
    // Why nothing plays; true when the user chose to look for the music in another folder
    // (offered only when files are not where the library says).
    virtual bool explainNothingPlayable(const NothingPlayable& nothing) = 0;
    virtual void tellNotALibrary(const NotALibrary& file) = 0;
    // An export could not be written, for `reason` (the system's words).
    virtual void tellExportFailed(const std::string& reason) = 0;
    // The M3U8 export of the playlist named `playlist` left out `leftOut` of its `total` songs,
    // whose files are not on this computer.
    struct SongsLeftOut {
        std::string playlist;
        std::int64_t leftOut = 0;
        std::int64_t total = 0;
    };
    virtual void tellSongsLeftOut(const SongsLeftOut& export_) = 0;
    // The modal preferences window; nothing when the user cancelled.
    virtual std::optional<PreferencesChoice> runPreferences(const Preferences& preferences) = 0;
};

} // namespace platter
