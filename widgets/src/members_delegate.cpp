#include "members_delegate.h"

#include "channel_list/entry_text.h"
#include "member_painting.h"
#include "utf16_text.h"

#include <QApplication>
#include <QPainter>

namespace {

// No row is wide enough to show more of a name than this.
constexpr qsizetype longestShownName = 512;

} // namespace

void MembersDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    // The style draws the row's background, selection and focus; the member goes on top.
    item.text.clear();
    item.features &= ~QStyleOptionViewItem::HasDisplay;
    const QWidget* widget = item.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    // Styles that highlight only a selected row's text would highlight
    // nothing here, and the name, in the highlighted text colour, would vanish.
    if (item.state.testFlag(QStyle::State_Selected)) {
        const QPalette::ColorGroup selectedGroup =
            item.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->fillRect(item.rect, item.palette.brush(selectedGroup, QPalette::Highlight));
    }
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const auto fields = tavrin::entryFields(utf16(text));
    const QRectF row = QRectF(item.rect).adjusted(3, 1, -3, -1);
    const qreal height = row.height();
    const QRectF badge(row.left(), row.top(), height * 2.6, height);
    const QRectF meter(row.right() - height * 1.1, row.top(), height * 1.1, height);
    const QRectF name(badge.right() + height / 3, row.top(), meter.left() - badge.right() - height * 2 / 3,
                      height);

    painter->save();
    paintBadge(*painter, badge, fields.keyword);
    const QPalette::ColorGroup group =
        item.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->setPen(item.palette.color(
        group, item.state.testFlag(QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(item.font);
    const QString shownName = toQString(fields.name.substr(0, longestShownName));
    painter->drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                      item.fontMetrics.elidedText(shownName, Qt::ElideRight, qFloor(name.width())));
    paintConnectionMeter(*painter, meter, connectionQuality(fields.pingField), item.palette);
    painter->restore();
}
