#pragma once

// The preferences' Scrobbling page: an account per site, a check of each, the desktop sign-in
// at Libre.fm and Last.fm, and how many listens wait for each site. The checks and the
// sign-in run through the controller; their answers, and the queues as they change, come back
// while the window stays open.

#include "core/services/dialogs.h"

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platter {

class ScrobblingPage final : public QWidget {
    Q_OBJECT
public:
    ScrobblingPage(const Dialogs::Preferences& shown, QWidget* parent = nullptr);
    ~ScrobblingPage() override;

    // The accounts as the page shows them.
    ScrobbleAccounts accounts() const;

    QLineEdit* listenBrainzToken() const { return token_; }
    QLineEdit* listenBrainzServer() const { return server_; }
    QLineEdit* lastFmKey() const { return lastFmKey_; }
    QLineEdit* lastFmSecret() const { return lastFmSecret_; }
    QPushButton* checkButton(ScrobbleSite site) const { return sites_[index(site)].check; }
    QPushButton* signInButton(ScrobbleSite site) const { return sites_[index(site)].signIn; }
    QLabel* verdict(ScrobbleSite site) const { return sites_[index(site)].verdict; }
    QLabel* queue(ScrobbleSite site) const { return sites_[index(site)].queue; }
    // Where the sign-in's page opens: the browser unless a test says otherwise.
    void setPageOpener(std::function<void(const QString&)> open) { openPage_ = std::move(open); }

private:
    struct Site {
        QPushButton* check = nullptr;
        QPushButton* signIn = nullptr; // none for ListenBrainz
        QLabel* user = nullptr;
        QLabel* verdict = nullptr;
        QLabel* queue = nullptr;
        bool signingIn = false;
    };
    static std::size_t index(ScrobbleSite site) { return static_cast<std::size_t>(site); }
    QWidget* siteBox(ScrobbleSite site, const QString& title, QWidget* fields);
    void showQueue(ScrobbleSite site, const ListenQueue& queue);
    void check(ScrobbleSite site);
    void signIn(ScrobbleSite site);
    void showUser(ScrobbleSite site);
    std::optional<ScrobbleAccounts::AudioscrobblerAccount>& account(ScrobbleSite site);

    ScrobbleAccountChecks* checks_;
    ScrobbleAccounts accounts_; // as shown, with the sessions signed in here
    QLineEdit* token_;
    QLineEdit* server_;
    QLineEdit* lastFmKey_;
    QLineEdit* lastFmSecret_;
    std::array<Site, 3> sites_;
    std::function<void(const QString&)> openPage_;
};

} // namespace platter
