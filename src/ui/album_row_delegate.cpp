#include "ui/album_row_delegate.h"

#include "ui/album_outline_model.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

namespace platter {

namespace {

constexpr int gap = 6;

bool isAlbumRow(const QModelIndex& index) {
    return index.isValid() && !index.parent().isValid();
}

QColor dimmed(const QStyleOptionViewItem& option) {
    const bool selected = option.state & QStyle::State_Selected;
    auto colour = option.palette.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text);
    colour.setAlphaF(0.62f);
    return colour;
}

void paintPlaceholder(QPainter& painter, const QRect& at, const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    auto fill = palette.color(QPalette::Mid);
    fill.setAlphaF(0.35f);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(at).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter.fillPath(frame, fill);
    // A record's hole: plainly no picture, and plainly an album.
    auto mark = palette.color(QPalette::Text);
    mark.setAlphaF(0.25f);
    painter.setPen(QPen(mark, 1.5));
    const auto centre = QRectF(at).center();
    painter.drawEllipse(centre, at.width() * 0.28, at.width() * 0.28);
    painter.drawEllipse(centre, at.width() * 0.06, at.width() * 0.06);
    painter.restore();
}

} // namespace

QSize AlbumRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    auto size = QStyledItemDelegate::sizeHint(option, index);
    if (!isAlbumRow(index)) return size;
    // The same for every column of the row, so the tree gives it one height.
    const auto lines = 2 * option.fontMetrics.lineSpacing() + 4;
    size.setHeight(std::max({size.height(), AlbumOutlineModel::coverSize + 6, lines}));
    return size;
}

void AlbumRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (index.column() != AlbumOutlineModel::Title) return QStyledItemDelegate::paint(painter, option, index);
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    if (isAlbumRow(index)) return paintAlbumTitle(painter, opt, index);
    const auto detail = index.data(AlbumOutlineModel::DetailRole).toString();
    if (detail.isEmpty()) return QStyledItemDelegate::paint(painter, option, index);

    // The name keeps clear of the length at the right.
    const auto* style = opt.widget ? opt.widget->style() : QApplication::style();
    const auto room = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    const auto detailWidth = opt.fontMetrics.horizontalAdvance(detail) + gap;
    opt.text = opt.fontMetrics.elidedText(opt.text, opt.textElideMode, std::max(0, room.width() - detailWidth));
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    painter->save();
    painter->setPen(dimmed(opt));
    painter->drawText(room.adjusted(0, 0, -gap / 2, 0), Qt::AlignRight | Qt::AlignVCenter, detail);
    painter->restore();
}

void AlbumRowDelegate::paintAlbumTitle(QPainter* painter, QStyleOptionViewItem& opt, const QModelIndex& index) const {
    const auto* style = opt.widget ? opt.widget->style() : QApplication::style();
    const auto title = opt.text;
    const auto cover = index.data(Qt::DecorationRole).value<QPixmap>();
    const auto detail = index.data(AlbumOutlineModel::DetailRole).toString();
    // The background, selection and focus as the style draws them; the rest is ours.
    opt.text.clear();
    opt.icon = {};
    opt.features &= ~QStyleOptionViewItem::HasDecoration;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const auto size = AlbumOutlineModel::coverSize;
    const QRect coverRect(opt.rect.left() + gap / 2, opt.rect.center().y() - size / 2 + 1, size, size);
    if (cover.isNull()) {
        paintPlaceholder(*painter, coverRect, opt.palette);
    } else {
        const auto shown = cover.deviceIndependentSize().toSize().scaled(size, size, Qt::KeepAspectRatio);
        QRect at({}, shown);
        at.moveCenter(coverRect.center());
        painter->drawPixmap(at, cover);
    }

    const QRect text(coverRect.right() + gap, opt.rect.top(), std::max(0, opt.rect.right() - coverRect.right() - gap),
                     opt.rect.height());
    const bool selected = opt.state & QStyle::State_Selected;
    const QFontMetrics titleMetrics(opt.font);
    auto detailFont = opt.font;
    detailFont.setWeight(QFont::Normal);
    const QFontMetrics detailMetrics(detailFont);
    const auto height = titleMetrics.height() + (detail.isEmpty() ? 0 : detailMetrics.height());
    const auto top = text.top() + (text.height() - height) / 2;

    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QRect(text.left(), top, text.width(), titleMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      titleMetrics.elidedText(title, opt.textElideMode, text.width()));
    if (!detail.isEmpty()) {
        painter->setFont(detailFont);
        painter->setPen(dimmed(opt));
        painter->drawText(QRect(text.left(), top + titleMetrics.height(), text.width(), detailMetrics.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, detailMetrics.elidedText(detail, opt.textElideMode, text.width()));
    }
    painter->restore();
}

} // namespace platter
