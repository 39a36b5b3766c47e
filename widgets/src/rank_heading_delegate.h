#pragma once

#include <QStyledItemDelegate>

namespace tavrin::detail {

// Draws a rank's heading row: an arrow, down when the rank is open and to the
// right when it is folded away, then the heading's words in bold. It reads
// the fold from the role it is given.
class RankHeadingDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    RankHeadingDelegate(int foldedRole, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    int foldedRole_;
};

} // namespace tavrin::detail
