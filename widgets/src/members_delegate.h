#pragma once

#include <QStyledItemDelegate>

namespace tavrin::detail {

// Draws a row of the channel list as a member: the badge of the member's
// standing or product, the name, elided when it does not fit, and a meter for
// the connection, each read from the model's roles. A row is as high as it is
// in the entry-text display, and only the row being drawn is read.
class MembersDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace tavrin::detail
