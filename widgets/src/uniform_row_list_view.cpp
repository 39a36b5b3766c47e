#include "uniform_row_list_view.h"

#include "type_ahead.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace tavrin::detail {
namespace {

#if QT_CONFIG(accessibility)
void tellScreenReader(QListView* view, QAccessible::Event type, const QModelIndex& index) {
    if (QAccessible::isActive() && index.isValid()) {
        QAccessibleEvent event(view, type);
        event.setChild(index.row());
        QAccessible::updateAccessibility(&event);
    }
}
#endif

} // namespace

UniformRowListView::UniformRowListView(QWidget* parent) : QListView(parent), typeAhead_(new TypeAhead(this)) {
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (isHeading(index)) {
            emit headingActivated(index);
        }
    });
}

void UniformRowListView::setModel(QAbstractItemModel* model) {
    disconnect(rowsRemovedConnection_);
    disconnect(rowsMovedConnection_);
    disconnect(layoutChangedConnection_);
    rowHeight_ = 0;
    QListView::setModel(model);
    if (model != nullptr) {
        rowsRemovedConnection_ =
            connect(model, &QAbstractItemModel::rowsRemoved, this, &UniformRowListView::rowsRemoved);
        rowsMovedConnection_ = connect(model, &QAbstractItemModel::rowsMoved, this,
                                       [this](const QModelIndex& parent, int start, int end,
                                              const QModelIndex& destinationParent, int destination) {
                                           if (destinationParent == parent) {
                                               rowsMoved(parent, start, end, destination);
                                           }
                                       });
        // New rows all at once, as when a search narrows the list: shown in the next paint.
        layoutChangedConnection_ = connect(model, &QAbstractItemModel::layoutChanged, this, [this] {
            updateScrollRange();
            viewport()->update();
        });
    }
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

int UniformRowListView::scrollValueIn(const RowGeometry& rows) const {
    return clampToInt(qint64{verticalScrollBar()->value()} + qint64{anchor_.followed()} * rows.step());
}

int UniformRowListView::verticalOffset() const {
    return offsetIn(geometry());
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
    if (scrollRangePending_) {
        updateScrollRange();
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(geometry().valueShowing(index.row(), hint, bar->value()));
}

QModelIndex UniformRowListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers) {
    const int rows = rowCount();
    if (rows == 0) {
        return {};
    }
    const QModelIndex current = currentIndex();
    if (!current.isValid()) {
        return firstMember();
    }
    int row = current.row();
    int direction = 1;
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        --row;
        direction = -1;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= geometry().fullyVisibleRows();
        direction = -1;
        break;
    case MovePageDown:
        row += geometry().fullyVisibleRows();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        direction = -1;
        break;
    case MoveLeft:
    case MoveRight:
        return current;
    }
    const int member = memberNear(std::clamp(row, 0, rows - 1), direction);
    return member >= 0 ? rowIndex(member) : current;
}

QModelIndex UniformRowListView::firstMember() const {
    const int member = memberNear(0, 1);
    return member >= 0 ? rowIndex(member) : QModelIndex{};
}

bool UniformRowListView::isHeading(const QModelIndex& index) const {
    return index.isValid() && !model()->flags(index).testFlag(Qt::ItemIsSelectable);
}

// Headings stand one above each group of rows, so only a few lie together.
int UniformRowListView::memberNear(int row, int direction) const {
    const int rows = rowCount();
    for (const int step : {direction, -direction}) {
        for (int at = row; at >= 0 && at < rows; at += step) {
            if (!isHeading(rowIndex(at))) {
                return at;
            }
        }
    }
    return -1;
}

void UniformRowListView::keyboardSearch(const QString& search) {
    const int rows = rowCount();
    if (search.isEmpty() || rows == 0) {
        return;
    }
    const TypeAhead::Search wanted = typeAhead_->typed(search);
    const QModelIndex current = currentIndex();
    int start = current.isValid() ? current.row() : 0;
    if (current.isValid() && wanted.fromNextRow) {
        start = (start + 1) % rows;
    }
    const auto found = model()->match(rowIndex(start), keyboardSearchRole_, wanted.text, 1,
                                      Qt::MatchStartsWith | Qt::MatchWrap);
    if (!found.isEmpty()) {
        setCurrentIndex(found.front());
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
            if (!flags.testFlag(Qt::ItemIsSelectable)) { // a heading
                paintHeading(painter, option, index);
            } else if (auto* delegate = itemDelegateForIndex(index)) {
                delegate->paint(&painter, option, index);
            }
        }
    }
}

// An arrow, down when open and to the right when folded, then the heading's
// words in bold.
void UniformRowListView::paintHeading(QPainter& painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    item.state &= ~QStyle::State_Selected;
    item.text.clear();
    style()->drawControl(QStyle::CE_ItemViewItem, &item, &painter, this);
    const QRect row = option.rect.adjusted(3, 0, -3, 0);
    QStyleOption arrow = option;
    arrow.rect = QRect(row.left(), row.top(), row.height(), row.height()).adjusted(2, 2, -2, -2);
    const bool folded = foldedRole_ >= 0 && index.data(foldedRole_).toBool();
    style()->drawPrimitive(folded ? QStyle::PE_IndicatorArrowRight : QStyle::PE_IndicatorArrowDown, &arrow,
                           &painter, this);
    QFont bold = option.font;
    bold.setBold(true);
    painter.save();
    painter.setFont(bold);
    painter.setPen(option.palette.color(QPalette::Text));
    const QRect words = row.adjusted(row.height() + 2, 0, 0, 0);
    painter.drawText(words, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(bold).elidedText(index.data().toString(), Qt::ElideRight, words.width()));
    painter.restore();
}

// Where a function below calls QAbstractItemView's own version, QListView's
// is passed over on purpose: it would throw away or rebuild a layout of every
// row, which this view never needs.
// NOLINTBEGIN(bugprone-parent-virtual-call)
void UniformRowListView::updateGeometries() {
    updateScrollRange();
    QAbstractItemView::updateGeometries(); // QListView's lays out every row
}

void UniformRowListView::updateScrollRange() {
    scrollRangePending_ = false;
    QScrollBar* bar = verticalScrollBar();
    const bool wasNeeded = bar->maximum() > 0;
    const RowGeometry rows = geometry();
    const int maximum = rows.scrollMaximum();
    if (anchor_.followed() != 0) {
        // The viewport already shows the rows there.
        const int followed = scrollValue();
        anchor_.forget();
        const QScopedValueRollback following(followingRowsAbove_, true);
        bar->setRange(0, std::max(maximum, followed));
        bar->setValue(followed);
    }
    bar->setRange(0, maximum);
    if (wasNeeded != (bar->maximum() > 0)) {
        // Shows or hides the scroll bar now; Qt would do it only after the
        // next paint, and that frame would be painted twice.
        setVerticalScrollBarPolicy(verticalScrollBarPolicy());
    }
    bar->setPageStep(rows.page());
    bar->setSingleStep(rows.step());
    horizontalScrollBar()->setRange(0, 0);
}

// A refresh removes a row and inserts it again, and a busy channel changes
// many rows in one turn of the event loop: the scroll range, and the scroll
// position that follows the rows above the view, are set once, after them all
// and before the next paint, so the scroll bar moves only when the count or
// the rows above have. A range that no longer holds the scroll position is
// set at once. This runs inside the list's changes, which cannot fail: when
// the later call cannot be queued, the next change tries again.
void UniformRowListView::scheduleScrollRange() noexcept {
    try {
        if (geometry().scrollMaximum() < scrollValue()) {
            updateScrollRange();
        } else if (!scrollRangePending_) {
            scrollRangePending_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (scrollRangePending_) {
                        updateScrollRange();
                    }
                },
                Qt::QueuedConnection);
        }
    } catch (...) {
        scrollRangePending_ = false;
    }
}

void UniformRowListView::scrollContentsBy(int dx, int dy) {
    if (!followingRowsAbove_) {
        viewport()->scroll(dx, scrollsPerItem() ? clampToInt(qint64{dy} * rowHeight()) : dy);
    }
}

void UniformRowListView::doItemsLayout() {
    // Qt lays the rows out again after rows move, and repaints them all; here
    // rows lie by arithmetic, and the move painted what it changed.
    const bool repaint = !std::exchange(movedSinceLayout_, false) || !viewport()->updatesEnabled();
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
    movedSinceLayout_ = false;
    anchor_.forget();
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

// Rows that enter at or above the top row push the view down with them, so the
// rows in view stay where they are; at the very top of the list, newcomers
// there are shown.
void UniformRowListView::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event); // makes the first member current if none is
#if QT_CONFIG(accessibility)
    // Qt tells a screen reader of the list only after this; the current
    // member is told of after that, so that the reader ends on the member.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (hasFocus()) {
                tellScreenReader(this, QAccessible::Focus, currentIndex());
            }
        },
        Qt::QueuedConnection);
#endif
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
        emit headingActivated(currentIndex());
        return;
    }
    QListView::keyPressEvent(event);
}

// From the mouse the point lies in the viewport; from the keyboard Qt puts it
// at the current row, also in the viewport.
void UniformRowListView::contextMenuEvent(QContextMenuEvent* event) {
    emit menuRequested(event->pos(), event->reason() == QContextMenuEvent::Keyboard);
    event->accept();
}

void UniformRowListView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end); // QListView's lays out every row
    if (parent != rootIndex()) {
        return;
    }
    followRows([&] {
        if (!followEntry(start, end - start + 1)) {
            rowsMovedFrom(start, end - start + 1);
        }
    });
}

bool UniformRowListView::followEntry(int start, int rows) noexcept {
    const int followed = ScrollAnchor::rowsFollowedOnEntry(start, rows, rowAtY(0), scrollValue());
    if (followed != 0) {
        followRowsAbove(followed);
    }
    return followed != 0;
}

// A member who moves leaves one place and enters another, as far as the rows
// in view are concerned: they stay put. Only the rows on screen that now show
// another member are painted, and Qt's own repaint of the whole view after a
// move is let go.
void UniformRowListView::rowsMoved(const QModelIndex& parent, int start, int end, int destination) {
    if (parent != rootIndex()) {
        return;
    }
    movedSinceLayout_ = true;
    followRows([&] {
        const int rows = end - start + 1;
        const int to = destination > start ? destination - rows : destination;
        const int topBefore = rowAtY(0);
        followLeaving(start, end);
        followEntry(to, rows);
        scheduleScrollRange();
        const int topAfter = rowAtY(0);
        // Where the member who was at this row is now.
        const auto now = [&](int row) {
            if (row >= start && row <= end) {
                return to + row - start;
            }
            if (start < to && row > end && row < to + rows) {
                return row - rows;
            }
            if (to < start && row >= to && row < start) {
                return row + rows;
            }
            return row;
        };
        const int visible = geometry().fullyVisibleRows() + 2;
        int first = -1;
        int last = -1;
        for (int onScreen = 0; onScreen < visible; ++onScreen) {
            // Alternate colours go with the row number, so a shift repaints them all.
            if (now(topBefore + onScreen) != topAfter + onScreen ||
                (alternatingRowColors() && topAfter != topBefore)) {
                first = first < 0 ? onScreen : first;
                last = onScreen;
            }
        }
        if (first >= 0) {
            const int top = rowTop(topAfter + first);
            viewport()->update(0, top, viewport()->width(), rowTop(topAfter + last + 1) - top);
        }
    });
}

void UniformRowListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    const QScopedValueRollback leaving(rowsLeaving_, true);
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end); // QListView's lays out every row
}

void UniformRowListView::rowsRemoved(const QModelIndex& parent, int start, int end) {
    if (parent != rootIndex()) {
        return;
    }
    followRows([&] {
        const int top = rowAtY(0);
        followLeaving(start, end);
        if (end >= top) {
            rowsMovedFrom(start, start - end - 1);
        }
    });
}

void UniformRowListView::followLeaving(int start, int end) noexcept {
    const int followed = ScrollAnchor::rowsFollowedOnLeaving(start, end, rowAtY(0));
    if (followed != 0) {
        followRowsAbove(followed);
    }
}

void UniformRowListView::followRowsAbove(int rows) noexcept {
    anchor_.follow(rows);
    scheduleScrollRange();
}

void UniformRowListView::rowsMovedFrom(int row, int rows) {
    // Rows below the visible ones are not repainted: nothing on screen changed.
    scheduleScrollRange();
    const int top = rowTop(row);
    const int height = viewport()->height();
    if (top >= height) {
        return;
    }
    const QRect moved(0, std::max(0, top), viewport()->width(), height - std::max(0, top));
    // Alternate row colours go with the row number, not the member, so those rows
    // are painted afresh; otherwise they are moved on screen, and only the rows
    // that this uncovers are painted.
    if (top < 0 || alternatingRowColors()) {
        viewport()->update(moved);
    } else {
        viewport()->scroll(0, clampToInt(qint64{rows} * rowHeight()), moved);
    }
}

// Rows come and go inside the list's changes, which cannot fail: when what
// follows them cannot be done, as when memory runs out, the viewport is
// painted afresh instead.
template <typename Follow> void UniformRowListView::followRows(Follow follow) noexcept {
    try {
        follow();
    } catch (...) {
        try {
            viewport()->update();
        } catch (...) {
        }
    }
}

void UniformRowListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                     const QList<int>& roles) {
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles); // QListView's lays out every row
}

// A screen reader follows the current member only while the list has the
// focus: a change made from another window does not pull the reader here.
void UniformRowListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous); // QListView's finds the row in its layout
#if QT_CONFIG(accessibility)
    if (hasFocus()) {
        tellScreenReader(this, QAccessible::Focus, current);
    }
#endif
}

void UniformRowListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
#if QT_CONFIG(accessibility)
    tellScreenReader(this, QAccessible::SelectionAdd, selected.indexes().value(0));
    tellScreenReader(this, QAccessible::SelectionRemove, deselected.indexes().value(0));
#endif
    QAbstractItemView::selectionChanged(selected, deselected); // QListView's finds rows in its layout
}
// NOLINTEND(bugprone-parent-virtual-call)

} // namespace tavrin::detail
