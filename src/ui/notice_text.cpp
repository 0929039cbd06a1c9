#include "ui/notice_text.h"

#include <QDateTime>
#include <QLocale>

namespace platter {

QString NoticeText::of(const Notice& notice) {
    const auto path = QString::fromStdString(notice.path);
    const auto reason = QString::fromStdString(notice.reason);
    switch (notice.kind) {
    case Notice::Kind::SettingsPartlyUnread:
        return path.isEmpty() ? tr("Some saved choices, orders or positions could not be read and will not be kept.")
                              : tr("Some saved choices, orders or positions could not be read; the settings file as "
                                   "it was is kept as %1.")
                                    .arg(path);
    case Notice::Kind::StatePartlyUnread:
        return tr("Some saved orders or positions could not be read; those playlists start afresh.");
    case Notice::Kind::StateNotMoved:
        return tr("Saved orders and positions could not be moved to the state folder (%1); they stay in the "
                  "settings file and move at the next start.")
            .arg(reason);
    case Notice::Kind::SettingsUnsaved:
        return tr("Could not save the settings file; Platter will try again at the next change.");
    case Notice::Kind::StateUnsaved:
        return tr("Could not save (%1); Platter will try again at the next change.").arg(reason);
    case Notice::Kind::OutputUnavailable:
        return tr("The sound output is not available (%1). Playback is paused; press Play to try again.").arg(reason);
    case Notice::Kind::MusicUnreachable:
        return tr("The music folder %1 cannot be reached. Playback is paused; press Play when it is back.").arg(path);
    case Notice::Kind::StatisticsRestored: {
        const auto copy = QLocale().toString(QDateTime::fromSecsSinceEpoch(notice.date), QLocale::ShortFormat);
        return path.isEmpty() ? tr("The play counts and ratings file was missing; its copy of %1 took its place, with "
                                   "what was counted until then.")
                                    .arg(copy)
                              : tr("The play counts and ratings file was damaged and was moved to %1; its copy of %2 "
                                   "took its place, with what was counted until then.")
                                    .arg(path, copy);
    }
    case Notice::Kind::StatisticsStartedAfresh:
        return tr("The play counts and ratings file was damaged and was moved to %1; Platter counts afresh. The counts "
                  "of your library file are kept.")
            .arg(path);
    case Notice::Kind::StatisticsUnavailable:
        return tr("Play counts and ratings cannot be kept (%1): they count for this session only.").arg(reason);
    case Notice::Kind::StatisticsFromNewerVersion:
        return tr("The play counts and ratings file is from a newer version of Platter and is left as it is: counts "
                  "and ratings count for this session only.");
    case Notice::Kind::ScrobbleAccountsUnread:
        return tr("The scrobbling accounts file could not be read and was moved to %1; set your accounts again in "
                  "Preferences to send listens.")
            .arg(path);
    case Notice::Kind::ScrobbleAccountRejected:
        return tr("%1 refused your account: your listens wait until you set it again in Preferences.")
            .arg(siteName(reason));
    }
    return {};
}

QString NoticeText::siteName(const QString& queue) {
    if (queue == QLatin1String("listenbrainz")) return QStringLiteral("ListenBrainz");
    if (queue == QLatin1String("librefm")) return QStringLiteral("Libre.fm");
    if (queue == QLatin1String("lastfm")) return QStringLiteral("Last.fm");
    return queue;
}

QString NoticeText::adding(std::size_t done, std::size_t total) {
    const QLocale locale;
    return tr("Adding music: %1 of %2 files")
        .arg(locale.toString(static_cast<qulonglong>(done)), locale.toString(static_cast<qulonglong>(total)));
}

QString NoticeText::of(const std::vector<Notice>& notices) {
    QStringList texts;
    for (const auto& notice : notices)
        texts << of(notice);
    return texts.join(QStringLiteral("  "));
}

} // namespace platter
