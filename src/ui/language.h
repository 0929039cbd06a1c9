#pragma once

// The window's words in the desktop's language: Platter's own from the translations built into
// the program, and Qt's for its standard dialogs where the system has them; English otherwise.

#include <QLocale>

namespace platter {

// Replaces what an earlier call installed, so the language can change before the window is
// built (tests do). Returns whether Platter has its own translation for `locale`.
bool installTranslations(const QLocale& locale);

} // namespace platter
