#include "row_announcer.h"

#include "member_list_accessible.h"

#include <QAbstractItemView>
#include <QAccessible>

namespace tavrin::detail {
namespace {

#if QT_CONFIG(accessibility)
// Told of the row's own item where the list has items that follow the person.
void tell(QAbstractItemView& view, QAccessible::Event type, const QModelIndex& index) {
    if (!QAccessible::isActive() || !index.isValid()) {
        return;
    }
    if (auto* list = dynamic_cast<MemberListAccessible*>(QAccessible::queryAccessibleInterface(&view))) {
        if (QAccessibleInterface* item = list->item(index.row())) {
            QAccessibleEvent event(item, type);
            QAccessible::updateAccessibility(&event);
        }
        return;
    }
    QAccessibleEvent event(&view, type);
    event.setChild(index.row());
    QAccessible::updateAccessibility(&event);
}
#endif

} // namespace

void RowAnnouncer::currentChanged([[maybe_unused]] const QModelIndex& current) const {
#if QT_CONFIG(accessibility)
    if (view_.hasFocus()) {
        tell(view_, QAccessible::Focus, current);
    }
#endif
}

void RowAnnouncer::focusEntered() const {
#if QT_CONFIG(accessibility)
    QAbstractItemView* view = &view_;
    QMetaObject::invokeMethod(
        view, [view] { RowAnnouncer(*view).currentChanged(view->currentIndex()); }, Qt::QueuedConnection);
#endif
}

void RowAnnouncer::selectionChanged([[maybe_unused]] const QItemSelection& selected,
                                    [[maybe_unused]] const QItemSelection& deselected) const {
#if QT_CONFIG(accessibility)
    tell(view_, QAccessible::SelectionAdd, selected.indexes().value(0));
    tell(view_, QAccessible::SelectionRemove, deselected.indexes().value(0));
#endif
}

} // namespace tavrin::detail
