#include "ui/scrobbling_page.h"

#include "ui/notice_text.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace platter {

namespace {

QString siteTitle(ScrobbleSite site) {
    switch (site) {
    case ScrobbleSite::ListenBrainz: return QStringLiteral("ListenBrainz");
    case ScrobbleSite::LibreFm: return QStringLiteral("Libre.fm");
    case ScrobbleSite::LastFm: return QStringLiteral("Last.fm");
    }
    return {};
}

QString trimmed(const QLineEdit* field) {
    return field->text().trimmed();
}

} // namespace

ScrobblingPage::ScrobblingPage(const Dialogs::Preferences& shown, QWidget* parent)
    : QWidget(parent), checks_(shown.checks), accounts_(shown.accounts), token_(new QLineEdit(this)),
      server_(new QLineEdit(this)), lastFmKey_(new QLineEdit(this)), lastFmSecret_(new QLineEdit(this)),
      openPage_([](const QString& page) { QDesktopServices::openUrl(QUrl(page)); }) {
    setObjectName(QStringLiteral("scrobblingPage"));
    token_->setObjectName(QStringLiteral("listenBrainzToken"));
    token_->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    token_->setPlaceholderText(tr("From your ListenBrainz settings page"));
    server_->setObjectName(QStringLiteral("listenBrainzServer"));
    server_->setPlaceholderText(tr("The official server"));
    server_->setToolTip(tr("The address of a ListenBrainz-compatible server; empty for the official one"));
    if (const auto& lb = accounts_.listenBrainz) {
        token_->setText(QString::fromStdString(lb->token));
        server_->setText(QString::fromStdString(lb->server));
    }
    auto* listenBrainz = new QWidget(this);
    auto* lbForm = new QFormLayout(listenBrainz);
    lbForm->setContentsMargins(0, 0, 0, 0);
    lbForm->addRow(tr("User token:"), token_);
    lbForm->addRow(tr("Server:"), server_);

    auto* libreFm = new QWidget(this);
    (new QFormLayout(libreFm))->setContentsMargins(0, 0, 0, 0);

    lastFmKey_->setObjectName(QStringLiteral("lastFmKey"));
    lastFmSecret_->setObjectName(QStringLiteral("lastFmSecret"));
    lastFmSecret_->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    lastFmKey_->setPlaceholderText(tr("Your API account's key"));
    lastFmSecret_->setPlaceholderText(tr("Its shared secret"));
    if (const auto& fm = accounts_.lastFm) {
        lastFmKey_->setText(QString::fromStdString(fm->apiKey));
        lastFmSecret_->setText(QString::fromStdString(fm->secret));
    }
    auto* lastFm = new QWidget(this);
    // The hint sits below the form: a form row gives wrapped text too little height.
    auto* fmColumn = new QVBoxLayout(lastFm);
    fmColumn->setContentsMargins(0, 0, 0, 0);
    auto* fmForm = new QFormLayout;
    fmColumn->addLayout(fmForm);
    fmForm->addRow(tr("API key:"), lastFmKey_);
    fmForm->addRow(tr("Secret:"), lastFmSecret_);
    auto* hint = new QLabel(tr("Last.fm asks each user of a player like Platter for an API account of their "
                               "own: create one at last.fm/api, then sign in."),
                            this);
    hint->setWordWrap(true);
    hint->setEnabled(false);
    fmColumn->addWidget(hint);
    // Another key makes the session signed in with the one before useless.
    for (auto* field : {lastFmKey_, lastFmSecret_})
        connect(field, &QLineEdit::textEdited, this, [this] {
            if (accounts_.lastFm && !accounts_.lastFm->sessionKey.empty()) {
                accounts_.lastFm->sessionKey.clear();
                accounts_.lastFm->userName.clear();
                showUser(ScrobbleSite::LastFm);
            }
        });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(siteBox(ScrobbleSite::ListenBrainz, siteTitle(ScrobbleSite::ListenBrainz), listenBrainz));
    layout->addWidget(siteBox(ScrobbleSite::LibreFm, siteTitle(ScrobbleSite::LibreFm), libreFm));
    layout->addWidget(siteBox(ScrobbleSite::LastFm, siteTitle(ScrobbleSite::LastFm), lastFm));
    const auto showQueues = [this](const ListenQueues& queues) {
        for (const auto site : scrobbleSites)
            showQueue(site, queues[index(site)]);
    };
    showQueues(shown.queues);
    if (checks_) checks_->followQueues(showQueues);
    auto* note = new QLabel(tr("Platter sends each song you hear to the sites you set up here once it counts as "
                               "played. Listens wait on this computer while a site cannot be reached."),
                            this);
    note->setWordWrap(true);
    note->setEnabled(false);
    layout->addWidget(note);
    layout->addStretch();
    // Wrapped labels would let the window squeeze the fields below their height.
    setMinimumHeight(sizeHint().height());
}

ScrobblingPage::~ScrobblingPage() {
    if (checks_) checks_->followQueues({});
    for (const auto& site : sites_)
        if (site.signingIn && checks_) checks_->cancelSignIn();
}

QWidget* ScrobblingPage::siteBox(ScrobbleSite site, const QString& title, QWidget* fields) {
    auto& s = sites_[index(site)];
    auto* box = new QGroupBox(title, this);
    const auto name = siteTitle(site).remove(QLatin1Char('.'));
    s.check = new QPushButton(tr("Check"), box);
    s.check->setObjectName(QStringLiteral("check") + name);
    s.check->setEnabled(checks_ != nullptr);
    connect(s.check, &QPushButton::clicked, this, [this, site] { check(site); });
    s.verdict = new QLabel(box);
    s.verdict->setObjectName(QStringLiteral("verdict") + name);
    s.verdict->setWordWrap(true);
    s.queue = new QLabel(box);
    s.queue->setObjectName(QStringLiteral("queue") + name);

    auto* buttons = new QHBoxLayout;
    if (site != ScrobbleSite::ListenBrainz) {
        s.user = new QLabel(box);
        s.signIn = new QPushButton(box);
        s.signIn->setObjectName(QStringLiteral("signIn") + name);
        s.signIn->setEnabled(checks_ != nullptr);
        connect(s.signIn, &QPushButton::clicked, this, [this, site] { signIn(site); });
        buttons->addWidget(s.user, 1);
        buttons->addWidget(s.signIn);
        showUser(site);
    } else {
        buttons->addStretch(1);
    }
    buttons->addWidget(s.check);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(fields);
    layout->addLayout(buttons);
    layout->addWidget(s.verdict);
    layout->addWidget(s.queue);
    return box;
}

void ScrobblingPage::showQueue(ScrobbleSite site, const ListenQueue& queue) {
    const QLocale locale;
    QString queueText = queue.sending ? tr("Listens waiting: %1.").arg(locale.toString(static_cast<qulonglong>(queue.waiting)))
                                      : tr("Not sending: the account is not set up.");
    if (queue.lastAccepted)
        queueText += QLatin1Char(' ') +
                     tr("Last accepted at %1.")
                         .arg(locale.toString(QDateTime::fromSecsSinceEpoch(*queue.lastAccepted).toLocalTime(),
                                              QLocale::ShortFormat));
    if (queue.rejected) queueText += QLatin1Char(' ') + tr("The site refused the account.");
    sites_[index(site)].queue->setText(queueText);
}

std::optional<ScrobbleAccounts::AudioscrobblerAccount>& ScrobblingPage::account(ScrobbleSite site) {
    return site == ScrobbleSite::LibreFm ? accounts_.libreFm : accounts_.lastFm;
}

void ScrobblingPage::showUser(ScrobbleSite site) {
    auto& s = sites_[index(site)];
    if (!s.user) return;
    const auto& a = account(site);
    const bool signedIn = a && !a->sessionKey.empty();
    s.user->setText(!signedIn                ? tr("Not signed in.")
                    : a->userName.empty()    ? tr("Signed in.")
                                             : tr("Signed in as %1.").arg(QString::fromStdString(a->userName)));
    s.signIn->setText(s.signingIn ? tr("Cancel Sign In") : signedIn ? tr("Sign In Again…") : tr("Sign In…"));
}

ScrobbleAccounts ScrobblingPage::accounts() const {
    auto accounts = accounts_;
    if (trimmed(token_).isEmpty() && trimmed(server_).isEmpty())
        accounts.listenBrainz.reset();
    else
        accounts.listenBrainz = {trimmed(token_).toStdString(), trimmed(server_).toStdString()};
    if (!trimmed(lastFmKey_).isEmpty() || !trimmed(lastFmSecret_).isEmpty()) {
        if (!accounts.lastFm) accounts.lastFm.emplace();
        accounts.lastFm->apiKey = trimmed(lastFmKey_).toStdString();
        accounts.lastFm->secret = trimmed(lastFmSecret_).toStdString();
    } else if (accounts.lastFm) {
        accounts.lastFm.reset();
    }
    return accounts;
}

void ScrobblingPage::check(ScrobbleSite site) {
    if (!checks_) return;
    auto& s = sites_[index(site)];
    s.verdict->setText(tr("Checking…"));
    s.check->setEnabled(false);
    checks_->check(site, accounts(), [page = QPointer(this), site](AccountCheckAnswer answer) {
        if (!page) return;
        auto& shown = page->sites_[index(site)];
        shown.check->setEnabled(true);
        using Verdict = AccountCheckAnswer::Verdict;
        const auto user = QString::fromStdString(answer.userName);
        switch (answer.verdict) {
        case Verdict::Valid:
            shown.verdict->setText(user.isEmpty() ? tr("The account works.") : tr("The account of %1 works.").arg(user));
            break;
        case Verdict::Rejected:
            shown.verdict->setText(site == ScrobbleSite::ListenBrainz ? tr("The site refused this token.")
                                                                  : tr("The site refused the account: sign in again."));
            break;
        case Verdict::Unreachable: shown.verdict->setText(tr("The site could not be reached; try again later.")); break;
        case Verdict::Incomplete:
            shown.verdict->setText(site == ScrobbleSite::ListenBrainz ? tr("Enter your user token first.")
                                                                  : tr("Sign in first."));
            break;
        }
    });
}

void ScrobblingPage::signIn(ScrobbleSite site) {
    if (!checks_) return;
    auto& s = sites_[index(site)];
    if (s.signingIn) {
        checks_->cancelSignIn();
        s.signingIn = false;
        s.verdict->clear();
        return showUser(site);
    }
    // One sign-in at a time: starting one ends any other.
    for (auto other : scrobbleSites)
        if (auto& o = sites_[index(other)]; o.signingIn) {
            o.signingIn = false;
            o.verdict->clear();
            showUser(other);
        }
    ScrobbleAccountChecks::Account application;
    if (site == ScrobbleSite::LastFm) {
        application.apiKey = trimmed(lastFmKey_).toStdString();
        application.secret = trimmed(lastFmSecret_).toStdString();
        if (application.apiKey.empty() || application.secret.empty())
            return s.verdict->setText(tr("Enter your API key and secret first."));
    } else if (const auto& a = account(site)) {
        application.apiKey = a->apiKey;
        application.secret = a->secret;
    }
    s.signingIn = true;
    s.verdict->setText(tr("Approve Platter in your browser; Platter waits for it."));
    showUser(site);
    checks_->signIn(
        site, application,
        [page = QPointer(this)](const std::string& url) {
            if (page) page->openPage_(QString::fromStdString(url));
        },
        [page = QPointer(this), site](std::optional<ScrobbleAccounts::AudioscrobblerAccount> approved) {
            if (!page) return;
            auto& shown = page->sites_[index(site)];
            shown.signingIn = false;
            if (approved) {
                page->account(site) = std::move(*approved);
                shown.verdict->setText(tr("Signed in. Listens go to the site once you press OK."));
            } else {
                shown.verdict->setText(tr("The sign-in did not succeed; try again."));
            }
            page->showUser(site);
        });
}

} // namespace platter
