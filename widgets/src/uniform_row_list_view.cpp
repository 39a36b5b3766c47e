#include "uniform_row_list_view.h"

#include "member_list_accessible.h"
#include "rank_heading_delegate.h"
#include "row_announcer.h"
#include "type_ahead.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

namespace tavrin::detail {

UniformRowListView::UniformRowListView(QWidget* parent)
    : QListView(parent), follower_(*this, [this] { return geometry(); }), typeAhead_(new TypeAhead(this)) {
    MemberListAccessible::installFactory();
    // Opaque, so that a new scroll range repaints the scroll bar alone, not
    // the frame and the panel under it.
    verticalScrollBar()->setAutoFillBackground(true);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (isHeading(index)) {
            Q_EMIT headingActivated(index);
        }
    });
}

void UniformRowListView::setModel(QAbstractItemModel* model) {
    rowHeight_ = 0;
    QListView::setModel(model);
    follower_.follow(model);
}

int UniformRowListView::rowCount() const {
    return model() != nullptr ? model()->rowCount(rootIndex()) : 0;
}

QModelIndex UniformRowListView::rowIndex(int row) const {
    return model()->index(row, modelColumn(), rootIndex());
}

// Every row is as high as the first; an empty list has nothing to measure yet.
int UniformRowListView::rowHeight() const {
    if (rowHeight_ > 0) {
        return rowHeight_;
    }
    const QModelIndex first = rowCount() > 0 ? rowIndex(0) : QModelIndex();
    auto* delegate = first.isValid() ? itemDelegateForIndex(first) : nullptr;
    if (delegate == nullptr) {
        return std::max(1, fontMetrics().height());
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    rowHeight_ = std::max(1, delegate->sizeHint(option, first).height());
    return rowHeight_;
}

RowGeometry UniformRowListView::geometry() const {
    return {rowHeight(), viewport()->height(), rowCount(), scrollsPerItem()};
}

int UniformRowListView::verticalOffset() const {
    return follower_.offsetIn(geometry());
}

int UniformRowListView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

QRect UniformRowListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex() ||
        index.column() != modelColumn()) {
        return {};
    }
    return {-horizontalOffset(), rowTop(index.row()), viewport()->width(), rowHeight()};
}

QModelIndex UniformRowListView::indexAt(const QPoint& point) const {
    const int row = rowAtY(point.y());
    if (point.x() < 0 || point.x() >= viewport()->width() || row < 0 || row >= rowCount()) {
        return {};
    }
    return rowIndex(row);
}

void UniformRowListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // When the current member leaves, the next one becomes current where it
    // is; the view does not go looking for it.
    if (!index.isValid() || index.parent() != rootIndex() || rowsLeaving_) {
        return;
    }
    follower_.updatePendingScrollRange();
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(geometry().valueShowing(index.row(), hint, bar->value()));
}

RowCursor UniformRowListView::cursor() const {
    return {rowCount(), geometry().fullyVisibleRows(), [this](int row) { return isHeading(rowIndex(row)); },
            [this](int row) {
                return rowIndex(row).data(foldedRole_).toBool();
            }};
}

QModelIndex UniformRowListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers) {
    const QModelIndex current = currentIndex();
    static_assert(int{MovePrevious} == int{RowCursor::MovePrevious} &&
                  int{MovePageDown} == int{RowCursor::MovePageDown});
    const RowCursor::Move move =
        cursor().moved(static_cast<RowCursor::Action>(cursorAction), current.isValid() ? current.row() : -1);
    if (move.toggleFold) {
        Q_EMIT headingActivated(current); // folds or opens it, and it stays current
    }
    return move.row >= 0 ? rowIndex(move.row) : QModelIndex{};
}

QModelIndex UniformRowListView::firstMember() const {
    const int member = cursor().memberNear(0, 1);
    return member >= 0 ? rowIndex(member) : QModelIndex{};
}

void UniformRowListView::setHeadingRoles(int headingRole, int foldedRole) {
    headingRole_ = headingRole;
    foldedRole_ = foldedRole;
    delete std::exchange(headingDelegate_, new RankHeadingDelegate(foldedRole, this));
}

bool UniformRowListView::isHeading(const QModelIndex& index) const {
    return headingRole_ >= 0 && index.data(headingRole_).toBool();
}

// Moving onto a heading keeps the selection: a heading is never selected.
QItemSelectionModel::SelectionFlags UniformRowListView::selectionCommand(const QModelIndex& index,
                                                                         const QEvent* event) const {
    return isHeading(index) ? QItemSelectionModel::NoUpdate : QListView::selectionCommand(index, event);
}

void UniformRowListView::keyboardSearch(const QString& search) {
    const QModelIndex current = currentIndex();
    if (const QModelIndex found = typeAhead_->rowFor(search, current, rowIndex(0), keyboardSearchRole_);
        found.isValid()) {
        setCurrentIndex(found);
    }
}

void UniformRowListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const QRect area = rect.normalized();
    const int first = std::max(0, rowAtY(area.top()));
    const int last = std::min(rowCount() - 1, rowAtY(area.bottom()));
    QItemSelection selection;
    if (first <= last && area.right() >= 0 && area.left() < viewport()->width()) {
        selection.select(rowIndex(first), rowIndex(last));
    }
    selectionModel()->select(selection, command);
}

QRegion UniformRowListView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    const QRect visible = viewport()->rect();
    for (const auto& range : selection) {
        if (!range.isValid() || range.parent() != rootIndex() || range.left() > modelColumn() ||
            range.right() < modelColumn()) {
            continue;
        }
        const int top = std::max(rowTop(range.top()), -1);
        const int bottom = std::min(rowTop(range.bottom() + 1), visible.height() + 1);
        region += QRect(0, top, visible.width(), bottom - top).intersected(visible);
    }
    return region;
}

void UniformRowListView::paintEvent(QPaintEvent* event) {
    auto* selections = selectionModel();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State baseState = option.state;
    const bool enabled = baseState.testFlag(QStyle::State_Enabled);
    const QModelIndex current = currentIndex();
    const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    const QModelIndex hover =
        viewport()->underMouse() ? indexAt(viewport()->mapFromGlobal(QCursor::pos())) : QModelIndex();

    QPainter painter(viewport());
    // A change often leaves rows far apart to paint, such as a member and the
    // heading above it: only the rows in the region are painted, each once.
    int painted = -1;
    for (const QRect& area : event->region()) {
        const int first = std::max(painted + 1, rowAtY(area.top()));
        const int last = std::min(rowCount() - 1, rowAtY(area.bottom()));
        for (int row = std::max(first, 0); row <= last; ++row) {
            painted = row;
            const QModelIndex index = rowIndex(row);
            option.rect = visualRect(index);
            option.state = baseState;
            option.state.setFlag(QStyle::State_Selected,
                                 selections != nullptr && selections->isSelected(index));
            const Qt::ItemFlags flags = model()->flags(index);
            if (enabled) {
                const bool itemEnabled = flags.testFlag(Qt::ItemIsEnabled);
                option.state.setFlag(QStyle::State_Enabled, itemEnabled);
                option.palette.setCurrentColorGroup(itemEnabled ? QPalette::Normal : QPalette::Disabled);
            }
            if (focus && index == current) {
                option.state |= QStyle::State_HasFocus;
                option.state.setFlag(QStyle::State_Editing, state() == EditingState);
            }
            option.state.setFlag(QStyle::State_MouseOver, index == hover);
            if (alternatingRowColors()) {
                option.features.setFlag(QStyleOptionViewItem::Alternate, row % 2 == 1);
                QStyleOptionViewItem background = option;
                background.state &= ~QStyle::State_Selected;
                style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &background, &painter, this);
            }
            auto* delegate = isHeading(index) ? headingDelegate_ : itemDelegateForIndex(index);
            if (delegate != nullptr) {
                delegate->paint(&painter, option, index);
            }
        }
    }
}

// Where a function below calls QAbstractItemView's own version, QListView's
// is passed over on purpose: it would throw away or rebuild a layout of every
// row, which this view never needs.
// NOLINTBEGIN(bugprone-parent-virtual-call)
void UniformRowListView::updateGeometries() {
    follower_.updateScrollRange();
    QAbstractItemView::updateGeometries(); // QListView's lays out every row
}

void UniformRowListView::scrollContentsBy(int dx, int dy) {
    if (!follower_.isCatchingUp()) {
        viewport()->scroll(dx, scrollsPerItem() ? clampToInt(qint64{dy} * rowHeight()) : dy);
    }
}

void UniformRowListView::doItemsLayout() {
    // Qt lays the rows out again after rows move, and repaints them all; here
    // rows lie by arithmetic, and the move painted what it changed.
    const bool repaint = !follower_.takeMovedSinceLayout() || !viewport()->updatesEnabled();
    if (!repaint) {
        viewport()->setAttribute(Qt::WA_UpdatesDisabled, true);
    }
    QAbstractItemView::doItemsLayout(); // QListView's lays out every row
    if (!repaint) {
        viewport()->setAttribute(Qt::WA_UpdatesDisabled, false);
    }
}

void UniformRowListView::reset() {
    rowHeight_ = 0;
    follower_.forget();
    QListView::reset();
}

void UniformRowListView::resizeEvent(QResizeEvent* event) {
    QAbstractItemView::resizeEvent(event); // QListView's lays out every row again
}

void UniformRowListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        rowHeight_ = 0;
    }
    QListView::changeEvent(event);
}

void UniformRowListView::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event); // makes the first member current if none is
    RowAnnouncer(*this).focusEntered();
}

// Shift+F10 asks for the context menu, as the Menu key does.
void UniformRowListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QPoint at = visualRect(currentIndex()).center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at),
                               event->modifiers());
        QCoreApplication::sendEvent(this, &menu);
        return;
    }
    const bool pressesRow =
        event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (pressesRow && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        isHeading(currentIndex())) {
        Q_EMIT headingActivated(currentIndex());
        return;
    }
    QListView::keyPressEvent(event);
}

// From the mouse the point lies in the viewport; from the keyboard Qt puts it
// at the current row, also in the viewport.
void UniformRowListView::contextMenuEvent(QContextMenuEvent* event) {
    Q_EMIT menuRequested(event->pos(), event->reason() == QContextMenuEvent::Keyboard);
    event->accept();
}

void UniformRowListView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end); // QListView's lays out every row
    if (parent == rootIndex()) {
        follower_.rowsInserted(start, end);
    }
}

void UniformRowListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    const QScopedValueRollback leaving(rowsLeaving_, true);
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end); // QListView's lays out every row
}

void UniformRowListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                     const QList<int>& roles) {
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles); // QListView's lays out every row
}

void UniformRowListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous); // QListView's finds the row in its layout
    RowAnnouncer(*this).currentChanged(current);
}

void UniformRowListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    RowAnnouncer(*this).selectionChanged(selected, deselected);
    QAbstractItemView::selectionChanged(selected, deselected); // QListView's finds rows in its layout
}
// NOLINTEND(bugprone-parent-virtual-call)

} // namespace tavrin::detail
