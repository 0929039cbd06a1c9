#pragma once

// Draws the album outline's rows: an album row is taller, its cover at the left of its name,
// its year and length on a second, dimmed line; a disc row has its length dimmed at the right.
// An album whose cover is not here (yet, or at all) shows a plain placeholder of the same size.

#include <QStyledItemDelegate>

namespace platter {

class AlbumRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintAlbumTitle(QPainter* painter, QStyleOptionViewItem& option, const QModelIndex& index) const;
};

} // namespace platter
