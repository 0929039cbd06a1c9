#include "ui/song_row_delegate.h"

#include "ui/song_table_model.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>

namespace platter {

namespace {

// A star's square: as high as the text, never more than the cell.
int starSize(const QRect& cell) {
    return std::max(6, std::min(cell.height() - 6, 14));
}

constexpr int margin = 4;

QPainterPath starPath(const QRectF& box) {
    QPainterPath path;
    const auto centre = box.center();
    const double outer = box.width() / 2, inner = outer * 0.45;
    for (int i = 0; i < 10; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const double r = i % 2 ? inner : outer;
        const QPointF p(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

} // namespace

int SongRowDelegate::starAt(const QRect& cell, int x) {
    const int size = starSize(cell);
    const int at = x - cell.left() - margin;
    if (at < 0 || at >= size * starCount) return 0;
    return at / size + 1;
}

int SongRowDelegate::ratingOfClick(int rating, int star) {
    return (rating + 10) / 20 == star ? 0 : std::clamp(star, 0, starCount) * 20;
}

void SongRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.data(SongTableModel::UnitStartRole).toBool()) {
        painter->save();
        painter->setPen(rule);
        painter->drawLine(option.rect.topLeft(), option.rect.topRight());
        painter->restore();
    }
    const auto rating = index.data(SongTableModel::RatingRole);
    if (!rating.isValid()) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const bool selected = option.state & QStyle::State_Selected;
    QColor ink = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    QColor faint = ink;
    faint.setAlphaF(0.25f);
    const int size = starSize(option.rect);
    const int top = option.rect.top() + (option.rect.height() - size) / 2;
    // Half a star shows a rating between two, as another program may have set it.
    const double filled = std::clamp(rating.toInt(), 0, 100) / 20.0;
    painter->setPen(Qt::NoPen);
    for (int i = 0; i < starCount; ++i) {
        const QRectF box(option.rect.left() + margin + i * size + 1, top + 1, size - 2, size - 2);
        const auto path = starPath(box);
        painter->setBrush(faint);
        painter->drawPath(path);
        if (filled <= i) continue;
        painter->save();
        painter->setClipRect(QRectF(box.left(), box.top(), box.width() * std::min(1.0, filled - i), box.height()));
        painter->setBrush(ink);
        painter->drawPath(path);
        painter->restore();
    }
    painter->restore();
}

QSize SongRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    auto size = QStyledItemDelegate::sizeHint(option, index);
    if (index.data(SongTableModel::RatingRole).isValid()) size.setWidth(2 * margin + starCount * 14);
    return size;
}

bool SongRowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonRelease && index.data(SongTableModel::RatingRole).isValid()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint())) {
            if (const int star = starAt(option.rect, mouse->position().toPoint().x()); star > 0) {
                emit starClicked(index, star);
                return true;
            }
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

} // namespace platter
