#pragma once

class QAbstractItemView;
class QItemSelection;
class QModelIndex;

namespace tavrin::detail {

// Tells a screen reader which row of a list is current and which rows were
// selected, when one listens. Each is a row of the view's root.
class RowAnnouncer {
public:
    explicit RowAnnouncer(QAbstractItemView& view) : view_(view) {}

    // The current row, while the list has the focus: a change made from
    // another window does not pull the reader here.
    void currentChanged(const QModelIndex& current) const;
    // Qt tells a screen reader of the list only after the list got the focus;
    // the current row is told of after that, so that the reader ends on it.
    void focusEntered() const;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) const;

private:
    QAbstractItemView& view_;
};

} // namespace tavrin::detail
