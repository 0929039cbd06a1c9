#pragma once

#include "core/services/dialogs.h"

namespace platter {

// The user's dialogs, counting those open. A modal dialog runs the event loop under its caller,
// which expects the model to be as it left it when the dialog returns: work that would replace
// the model waits while one is open.
class TrackedDialogs final : public Dialogs {
public:
    explicit TrackedDialogs(Dialogs& dialogs) : dialogs_(dialogs) {}
    bool anyOpen() const { return open_ > 0; }

    std::optional<std::string> runOpenPanel() override { return track([&] { return dialogs_.runOpenPanel(); }); }
    std::optional<std::string> runExportPanel(const std::string& playlist) override {
        return track([&] { return dialogs_.runExportPanel(playlist); });
    }
    std::optional<std::string> runFolderPanel() override { return track([&] { return dialogs_.runFolderPanel(); }); }
    NoLibraryChoice runNoLibraryAlert(const std::vector<std::string>& lookedAt) override {
        return track([&] { return dialogs_.runNoLibraryAlert(lookedAt); });
    }
    bool confirmReset() override { return track([&] { return dialogs_.confirmReset(); }); }
    bool explainNothingPlayable(const NothingPlayable& nothing) override {
        return track([&] { return dialogs_.explainNothingPlayable(nothing); });
    }
    void tellNotALibrary(const NotALibrary& file) override { track([&] { dialogs_.tellNotALibrary(file); }); }
    void tellExportFailed(const std::string& reason) override { track([&] { dialogs_.tellExportFailed(reason); }); }
    void tellSongsLeftOut(const SongsLeftOut& export_) override { track([&] { dialogs_.tellSongsLeftOut(export_); }); }
    std::optional<PreferencesChoice> runPreferences(const Preferences& preferences) override {
        return track([&] { return dialogs_.runPreferences(preferences); });
    }

private:
    template <class Run> auto track(Run run) -> decltype(run()) {
        struct Open {
            int& count;
            explicit Open(int& c) : count(++c) {}
            ~Open() { --count; }
        } open(open_);
        return run();
    }

    Dialogs& dialogs_;
    int open_ = 0;
};

} // namespace platter
