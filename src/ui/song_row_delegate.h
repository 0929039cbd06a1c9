#pragma once

// Draws the song table's rows: a line above the first row of each unit, so that units read as
// blocks, and the Rating column as five stars that a click sets.

#include <QColor>
#include <QStyledItemDelegate>

namespace platter {

class SongRowDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int starCount = 5;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The star under `x` in a cell of `cell`, 1 to 5, or 0 beside them.
    static int starAt(const QRect& cell, int x);
    // The rating a click on the `star`-th star sets, from `rating`: that many stars, or none when
    // it already had them.
    static int ratingOfClick(int rating, int star);

    QColor rule;

signals:
    // The user clicked the `star`-th star of `index`'s row.
    void starClicked(const QModelIndex& index, int star);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
};

} // namespace platter
