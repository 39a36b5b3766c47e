#include "members_delegate.h"

#include "member_painting.h"
#include "tavrin_widgets/chan_save_list_model.h"

#include <QApplication>
#include <QPainter>

#include <array>

namespace tavrin::detail {
namespace {

// No row is wide enough to show more of a name than this.
constexpr qsizetype longestShownName = 512;

} // namespace

void MembersDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // The style draws the row's background, selection and focus; the member goes on top.
    item.text.clear();
    item.features &= ~QStyleOptionViewItem::HasDisplay;
    const QWidget* widget = item.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const bool selected = item.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        item.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    // Styles that highlight only a selected row's text would highlight
    // nothing here, and the name, in the highlighted text colour, would vanish.
    if (selected) {
        painter->fillRect(item.rect, item.palette.brush(group, QPalette::Highlight));
    }
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const QRectF row = QRectF(item.rect).adjusted(3, 1, -3, -1);
    const qreal height = row.height();
    const QRectF badge(row.left(), row.top(), height * 2.6, height);
    const QRectF meter(row.right() - height * 1.1, row.top(), height * 1.1, height);
    const QRectF name(badge.right() + height / 3, row.top(), meter.left() - badge.right() - height * 2 / 3,
                      height);

    std::array roles{
        QModelRoleData(ChanSaveListModel::NameRole), QModelRoleData(ChanSaveListModel::StandingRole),
        QModelRoleData(ChanSaveListModel::KeywordRole), QModelRoleData(ChanSaveListModel::PingRole)};
    index.multiData(roles);
    const auto& [nameRole, standing, keyword, ping] = roles;

    painter->save();
    paintBadge(*painter, badge, static_cast<Standing>(standing.data().toInt()), keyword.data().toString(),
               selected ? std::optional<QColor>(item.palette.color(group, QPalette::Base)) : std::nullopt);
    painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(item.font);
    const QString shownName = nameRole.data().toString().left(longestShownName);
    painter->drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                      item.fontMetrics.elidedText(shownName, Qt::ElideRight, qFloor(name.width())));
    const auto milliseconds =
        ping.data().isValid() ? std::optional<qint64>(ping.data().toLongLong()) : std::nullopt;
    paintConnectionMeter(*painter, meter, connectionQuality(milliseconds), item.palette);
    painter->restore();
}

} // namespace tavrin::detail
