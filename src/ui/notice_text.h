#pragma once

// The words of the controller's notices, in the desktop's language.

#include "core/app/notices.h"

#include <QCoreApplication>
#include <QString>
#include <vector>

namespace platter {

class NoticeText {
    Q_DECLARE_TR_FUNCTIONS(platter::NoticeText)

public:
    static QString of(const Notice& notice);
    // Several at once, as the status line shows them.
    static QString of(const std::vector<Notice>& notices);
    // How far the scan of the music folders is: "Adding music: 1,234 of 5,000 files".
    static QString adding(std::size_t done, std::size_t total);
    // A scrobbling site's own name, from its queue's.
    static QString siteName(const QString& queue);
};

} // namespace platter
