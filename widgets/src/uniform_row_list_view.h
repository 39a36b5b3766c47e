#pragma once

#include "row_cursor.h"
#include "row_follower.h"

#include <QListView>

namespace tavrin::detail {

class TypeAhead;

// A list view whose rows all have the same height and the width of the view,
// so where a row lies is arithmetic. QListView lays every row out again after
// each insertion or removal, later, from a timer: a list that changes on every
// turn of the event loop paints blank frames, and each change costs more the
// longer the list. Here a change costs the same at any length, repaints only
// the visible rows it moves, and a frame always shows the rows. Rows in view
// stay put while rows above them come and go: the scroll position follows
// them, unless the list is scrolled to its very top. Rows are never hidden and
// long texts are elided, not scrolled sideways. Rows whose heading role is set
// are headings, as a tree's parents are: drawn by the heading delegate,
// visited by the keys as the RowCursor says, never selected, and told of when
// clicked, folded or opened from the keyboard, or when Space or Return is
// pressed on them.
class UniformRowListView : public QListView {
    Q_OBJECT

public:
    explicit UniformRowListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;
    void reset() override;
    void keyboardSearch(const QString& search) override;

    // The role that type-ahead compares what is typed with; the display text
    // unless set.
    void setKeyboardSearchRole(int role) { keyboardSearchRole_ = role; }
    // The role that says a row is a heading, and the role that says whether
    // its rows are folded away; without them, no row is a heading.
    void setHeadingRoles(int headingRole, int foldedRole);
    bool isHeading(const QModelIndex& index) const;
    // The first row that is not a heading, or none.
    QModelIndex firstMember() const;
    TypeAhead& typeAhead() { return *typeAhead_; }

signals:
    // The context menu is asked for at this point of the viewport: under the
    // pointer, or, from the keyboard (the Menu key or Shift+F10), beside the
    // current row.
    void menuRequested(const QPoint& position, bool fromKeyboard);
    // A heading was clicked, or Space or Return was pressed on it.
    void headingActivated(const QModelIndex& heading);

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = {}) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;

private:
    int rowCount() const;
    int rowHeight() const;
    RowGeometry geometry() const;
    int rowAtY(int y) const {
        const RowGeometry rows = geometry();
        return rows.rowAt(y, follower_.offsetIn(rows));
    }
    int rowTop(int row) const {
        const RowGeometry rows = geometry();
        return rows.rowTop(row, follower_.offsetIn(rows));
    }
    bool scrollsPerItem() const { return verticalScrollMode() == ScrollPerItem; }
    QModelIndex rowIndex(int row) const;
    RowCursor cursor() const;

    mutable int rowHeight_ = 0; // 0 until a row has been measured
    bool rowsLeaving_ = false;
    RowFollower follower_;
    int keyboardSearchRole_ = Qt::DisplayRole;
    int headingRole_ = -1;
    int foldedRole_ = -1;
    QAbstractItemDelegate* headingDelegate_ = nullptr;
    TypeAhead* typeAhead_;
};

} // namespace tavrin::detail
