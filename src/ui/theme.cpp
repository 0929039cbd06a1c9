#include "ui/theme.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <cmath>

namespace platter {

namespace {

// `share` of `b` in `a`.
QColor mix(const QColor& a, const QColor& b, double share) {
    const auto part = [&](double x, double y) { return static_cast<int>(std::lround(x + (y - x) * share)); };
    return QColor(part(a.red(), b.red()), part(a.green(), b.green()), part(a.blue(), b.blue()));
}

double luminance(const QColor& c) {
    const auto linear = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

// `back` moved away from `text` until text on it reads at `ratio`; palettes such as a dark scheme's
// bright highlight under white text fall short.
QColor readableBehind(QColor back, const QColor& text, double ratio) {
    const QColor away = luminance(text) > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
    for (int step = 0; step < 20 && Theme::contrast(text, back) < ratio; ++step)
        back = mix(back, away, 0.1);
    return back;
}

} // namespace

double Theme::contrast(const QColor& a, const QColor& b) {
    const auto x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

Theme Theme::of(const QPalette& palette) {
    const auto window = palette.color(QPalette::Window);
    const auto windowText = palette.color(QPalette::WindowText);
    const auto base = palette.color(QPalette::Base);
    const auto text = palette.color(QPalette::Text);
    const auto accentText = palette.color(QPalette::HighlightedText);
    const auto accent = readableBehind(palette.color(QPalette::Highlight), accentText, 4.5);
    const auto highlight = palette.color(QPalette::Highlight);
    const bool dark = luminance(window) < luminance(windowText);
    // Secondary text is dimmed towards its background, but never below a readable contrast.
    auto secondary = mix(windowText, window, 0.35);
    if (contrast(secondary, window) < 4.5) secondary = mix(windowText, window, 0.2);
    const QColor noticeHue(0xff, 0xc8, 0x00);
    Theme t;
    t.dark = dark;
    t.colours = {
        {QStringLiteral("sidebar"), mix(window, windowText, 0.03)},
        {QStringLiteral("border"), mix(window, windowText, 0.16)},
        {QStringLiteral("softBorder"), mix(window, windowText, 0.1)},
        {QStringLiteral("secondaryText"), secondary},
        {QStringLiteral("text"), windowText},
        {QStringLiteral("topStart"), mix(window, base, 0.6)},
        {QStringLiteral("topEnd"), mix(window, windowText, 0.03)},
        {QStringLiteral("button"), base},
        {QStringLiteral("buttonText"), text},
        {QStringLiteral("buttonBorder"), mix(base, text, 0.25)},
        {QStringLiteral("accent"), accent},
        {QStringLiteral("accentBorder"), accent.darker(112)},
        {QStringLiteral("accentText"), accentText},
        {QStringLiteral("hover"), mix(window, windowText, 0.08)},
        {QStringLiteral("base"), base},
        {QStringLiteral("link"), palette.color(QPalette::Link)},
        {QStringLiteral("alternateBase"), mix(base, windowText, 0.035)},
        {QStringLiteral("selection"), mix(base, highlight, dark ? 0.45 : 0.22)},
        {QStringLiteral("playingUnit"), mix(base, highlight, dark ? 0.2 : 0.09)},
        {QStringLiteral("header"), mix(base, window, 0.6)},
        {QStringLiteral("notice"), mix(base, noticeHue, dark ? 0.18 : 0.13)},
        {QStringLiteral("noticeText"),
         dark ? mix(text, noticeHue, 0.35) : mix(text, QColor(0x8a, 0x60, 0x00), 0.85)},
    };
    // The focus ring in the palette's highlight, deepened (or lightened) until it stands out from
    // every background a focused control sits on, the selected row's included.
    auto focus = highlight;
    const auto faint = [&] {
        for (const char* back : {"base", "alternateBase", "selection", "topStart", "topEnd", "sidebar"})
            if (contrast(focus, t.colours.at(QString::fromLatin1(back))) < 3) return true;
        return false;
    };
    for (int step = 0; step < 20 && faint(); ++step)
        focus = mix(focus, dark ? QColor(Qt::white) : QColor(Qt::black), 0.1);
    t.colours[QStringLiteral("focus")] = focus;
    return t;
}

QString Theme::styleSheet(QString text) const {
    for (const auto& [name, colour] : colours)
        text.replace(QLatin1Char('@') + name + QLatin1Char('@'), colour.name());
    return text;
}

QString Theme::pageStyle() const {
    // Our pages give their body a light bgcolor; a style rule outranks that attribute.
    return styleSheet(QStringLiteral(":root { color-scheme: %1; }\n"
                                     "body { background: @base@; color: @buttonText@; }\n"
                                     "body[bgcolor] { background: @header@; }\n"
                                     "a { color: @link@; }\n")
                          .arg(dark ? QStringLiteral("dark") : QStringLiteral("light")));
}

namespace {

QPixmap tinted(const QString& resource, const QColor& colour) {
    QPixmap shape(resource);
    if (shape.isNull()) return shape;
    QPainter painter(&shape);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(shape.rect(), colour);
    return shape;
}

} // namespace

QIcon Theme::glyph(const QString& resource) const {
    const auto shape = tinted(resource, colours.at(QStringLiteral("text")));
    return shape.isNull() ? QIcon() : QIcon(shape);
}

QIcon Theme::albumGlyph(const QString& resource) const {
    const auto colour = colours.at(QStringLiteral("text"));
    const auto shape = tinted(resource, colour);
    if (shape.isNull()) return {};
    QPixmap cover(shape.size());
    cover.fill(Qt::transparent);
    QPainter painter(&cover);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double stroke = cover.width() / 16.0;
    painter.setPen(QPen(colour, stroke));
    const QRectF frame = QRectF(cover.rect()).adjusted(stroke, stroke, -stroke, -stroke);
    painter.drawRoundedRect(frame, stroke * 2, stroke * 2);
    const auto inset = cover.width() / 4.5;
    painter.drawPixmap(QRectF(cover.rect()).adjusted(inset, inset, -inset, -inset), shape, QRectF(shape.rect()));
    painter.end();
    return QIcon(cover);
}

namespace {

// A shape drawn on a large square, so that it stays crisp scaled down to any row height.
template <typename Draw> QPixmap drawnGlyph(const QColor& colour, Draw draw) {
    QPixmap glyph(64, 64);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    draw(painter);
    return glyph;
}

} // namespace

QIcon Theme::folderGlyph() const {
    const auto folder = [](QPainter& painter) {
        QPainterPath outline;
        outline.moveTo(6, 16);
        outline.lineTo(24, 16);
        outline.lineTo(30, 22);
        outline.lineTo(58, 22);
        outline.lineTo(58, 52);
        outline.lineTo(6, 52);
        outline.closeSubpath();
        painter.drawPath(outline);
        painter.drawLine(QPointF(6, 30), QPointF(58, 30));
    };
    QIcon icon(drawnGlyph(colours.at(QStringLiteral("text")), folder));
    icon.addPixmap(drawnGlyph(colours.at(QStringLiteral("accentText")), folder), QIcon::Selected);
    return icon;
}

QIcon Theme::playlistGlyph() const {
    // Lines of a list beside a note.
    const auto list = [](QPainter& painter) {
        painter.drawLine(QPointF(8, 16), QPointF(44, 16));
        painter.drawLine(QPointF(8, 30), QPointF(44, 30));
        painter.drawLine(QPointF(8, 44), QPointF(28, 44));
        painter.drawLine(QPointF(55, 14), QPointF(55, 48));
        painter.setBrush(painter.pen().color());
        painter.drawEllipse(QPointF(48, 48), 6, 5);
    };
    QIcon icon(drawnGlyph(colours.at(QStringLiteral("text")), list));
    icon.addPixmap(drawnGlyph(colours.at(QStringLiteral("accentText")), list), QIcon::Selected);
    return icon;
}

} // namespace platter
