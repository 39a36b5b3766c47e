#include "rank_heading_delegate.h"

#include <QApplication>
#include <QPainter>

namespace tavrin::detail {

RankHeadingDelegate::RankHeadingDelegate(int foldedRole, QObject* parent)
    : QStyledItemDelegate(parent), foldedRole_(foldedRole) {}

void RankHeadingDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    QStyleOptionViewItem item = option;
    item.state &= ~QStyle::State_Selected;
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const QRect row = option.rect.adjusted(3, 0, -3, 0);
    QStyleOption arrow = option;
    arrow.rect = QRect(row.left(), row.top(), row.height(), row.height()).adjusted(2, 2, -2, -2);
    const bool folded = index.data(foldedRole_).toBool();
    style->drawPrimitive(folded ? QStyle::PE_IndicatorArrowRight : QStyle::PE_IndicatorArrowDown, &arrow,
                         painter, widget);

    QFont bold = option.font;
    bold.setBold(true);
    painter->save();
    painter->setFont(bold);
    painter->setPen(option.palette.color(QPalette::Text));
    const QRect words = row.adjusted(row.height() + 2, 0, 0, 0);
    painter->drawText(words, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(bold).elidedText(index.data().toString(), Qt::ElideRight, words.width()));
    painter->restore();
}

} // namespace tavrin::detail
