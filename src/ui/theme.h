#pragma once

// The window's colours, taken from the desktop's palette so that the window follows a light or
// a dark scheme; the style sheet names them as @name@.

#include <QColor>
#include <QIcon>
#include <QPalette>
#include <QString>
#include <map>

namespace platter {

struct Theme {
    std::map<QString, QColor> colours;
    bool dark = false;
    // The colours the palette gives.
    static Theme of(const QPalette& palette);
    // The style sheet with every @name@ replaced by its colour.
    QString styleSheet(QString text) const;
    // The style our web pages take, so that they sit in the window rather than on white.
    QString pageStyle() const;
    // A one-colour picture (its shape in the alpha channel) drawn in the text colour.
    QIcon glyph(const QString& resource) const;
    // The same inside the outline of an album cover: the action works on the playing unit.
    QIcon albumGlyph(const QString& resource) const;
    // A folder's outline, and a playlist's, in the text colour, and in the selection's text
    // colour when selected.
    QIcon folderGlyph() const;
    QIcon playlistGlyph() const;
    // WCAG's contrast ratio of two colours, from 1 (none) to 21.
    static double contrast(const QColor& a, const QColor& b);
};

} // namespace platter
