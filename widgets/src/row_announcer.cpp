#include "row_announcer.h"

#include <QAbstractItemView>
#include <QAccessible>

namespace tavrin::detail {
namespace {

#if QT_CONFIG(accessibility)
void tell(QAbstractItemView& view, QAccessible::Event type, const QModelIndex& index) {
    if (QAccessible::isActive() && index.isValid()) {
        QAccessibleEvent event(&view, type);
        event.setChild(index.row());
        QAccessible::updateAccessibility(&event);
    }
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
