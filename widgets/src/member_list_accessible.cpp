#include "member_list_accessible.h"

#include "member_in_words.h"
#include "tavrin_widgets/chan_save_list_model.h"
#include "uniform_row_list_view.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>

#include <algorithm>

namespace tavrin::detail {
namespace {

// A row of the list: a member, or a heading with its members as children.
class RowItem : public QAccessibleInterface {
public:
    RowItem(const MemberListAccessible& list, const QModelIndex& index)
        : list_(list), index_(index),
          folded_(isHeading() && index.data(ChanSaveListModel::FoldedRole).toBool()) {}

    bool isValid() const override { return index_.isValid() && list_.view() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_.window(); }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QAccessibleInterface* parent() const override {
        const int heading = isHeading() ? -1 : list_.headingAbove(index_.row());
        return heading >= 0 ? list_.item(heading) : QAccessible::queryAccessibleInterface(list_.view());
    }
    int childCount() const override { return isHeading() ? list_.membersUnder(index_.row()) : 0; }
    QAccessibleInterface* child(int index) const override {
        return index >= 0 && index < childCount() ? list_.item(index_.row() + 1 + index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* item = dynamic_cast<const RowItem*>(child);
        return item != nullptr && item->parent() == this ? item->row() - index_.row() - 1 : -1;
    }

    // A member in words, as the tooltip says; a heading as its rank and how
    // many it holds, its fold being its state.
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid()) {
            return {};
        }
        if (!isHeading()) {
            return index_.data(Qt::AccessibleTextRole).toString();
        }
        const auto rank = static_cast<Rank>(index_.data(ChanSaveListModel::RankRole).toInt());
        const auto* model = qobject_cast<const ChanSaveListModel*>(index_.model());
        const int members = model != nullptr ? model->list().shownCountIn(rank) : 0;
        return rankHeadingName(rank, members, list_.view()->locale());
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        UniformRowListView* view = list_.view();
        if (!isValid()) {
            return {};
        }
        const QRect row = view->visualRect(index_).intersected(view->viewport()->rect());
        return row.isEmpty() ? QRect() : row.translated(view->viewport()->mapToGlobal(QPoint(0, 0)));
    }

    // A list item, heading or member: screen readers take a tree item for a
    // table's cell, and read a heading as the members under it.
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QAccessible::State state() const override {
        QAccessible::State state;
        UniformRowListView* view = list_.view();
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.focused = view->hasFocus() && view->currentIndex() == index_;
        state.active = view->currentIndex() == index_;
        if (!view->viewport()->rect().intersects(view->visualRect(index_))) {
            state.offscreen = true;
            state.invisible = true;
        }
        if (isHeading()) {
            state.expandable = true;
            state.expanded = !folded();
            state.collapsed = folded();
        } else {
            state.selectable = true;
            state.selected = view->selectionModel() != nullptr && view->selectionModel()->isSelected(index_);
            state.multiSelectable = view->selectionMode() == QAbstractItemView::ExtendedSelection ||
                                    view->selectionMode() == QAbstractItemView::MultiSelection;
        }
        return state;
    }

    int row() const { return index_.row(); }
    bool isHeading() const { return index_.data(ChanSaveListModel::HeadingRole).toBool(); }
    bool folded() const { return index_.data(ChanSaveListModel::FoldedRole).toBool(); }
    // Tells the reader when the heading's fold changed since it was last
    // told; says whether it did.
    bool tellFoldIfChanged() {
        if (!isHeading() || folded() == folded_) {
            return false;
        }
        folded_ = !folded_;
        QAccessible::State changed;
        changed.expanded = true;
        changed.collapsed = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
        return true;
    }

private:
    const MemberListAccessible& list_;
    QPersistentModelIndex index_;
    bool folded_;
};

} // namespace

MemberListAccessible::MemberListAccessible(UniformRowListView* view) : QAccessibleWidget(view) {}

MemberListAccessible::~MemberListAccessible() {
    for (const auto& connection : connections_) {
        QObject::disconnect(connection);
    }
    forget(true);
}

void MemberListAccessible::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& className, QObject* object) -> QAccessibleInterface* {
            if (className == QLatin1String("tavrin::detail::UniformRowListView")) {
                return new MemberListAccessible(static_cast<UniformRowListView*>(object));
            }
            return nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed)
}

QAccessibleInterface* MemberListAccessible::itemOf(UniformRowListView* view, int row) {
    auto* list = dynamic_cast<MemberListAccessible*>(QAccessible::queryAccessibleInterface(view));
    return list != nullptr ? list->item(row) : nullptr;
}

UniformRowListView* MemberListAccessible::view() const {
    return static_cast<UniformRowListView*>(widget());
}

QAbstractItemModel* MemberListAccessible::model() const {
    QAbstractItemModel* model = view() != nullptr ? view()->model() : nullptr;
    if (model != followed_) {
        follow(model);
    }
    return model;
}

// Rows gone take their items with them; a model laid out or reset anew may
// move headings, and a fold changes a heading's state.
void MemberListAccessible::follow(QAbstractItemModel* model) const {
    for (const auto& connection : connections_) {
        QObject::disconnect(connection);
    }
    connections_.clear();
    forget(true);
    followed_ = model;
    if (model == nullptr) {
        return;
    }
    const auto changed = [this] {
        headingsKnown_ = false;
    };
    const auto gone = [this] {
        headingsKnown_ = false;
        forget(false);
    };
    connections_ = {
        QObject::connect(model, &QAbstractItemModel::rowsInserted, view(), changed),
        QObject::connect(model, &QAbstractItemModel::rowsMoved, view(), changed),
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, view(), gone),
        QObject::connect(model, &QAbstractItemModel::layoutChanged, view(), gone),
        QObject::connect(model, &QAbstractItemModel::modelReset, view(), [this] { forget(true); }),
        QObject::connect(
            model, &QAbstractItemModel::dataChanged, view(),
            [this](const QModelIndex& first, const QModelIndex& last) {
                headingsKnown_ = false;
                int refolded = -1;
                for (auto& [index, id] : items_) {
                    if (index.isValid() && index.row() >= first.row() && index.row() <= last.row() &&
                        static_cast<RowItem*>(QAccessible::accessibleInterface(id))->tellFoldIfChanged()) {
                        refolded = index.row();
                    }
                }
                tellFoldToOlderBridges(refolded);
            }),
    };
}

// Qt's AT-SPI bridge before 6.7 passes no change of the expanded state on:
// the current heading is then told of afresh, as a new item that has the
// focus, and the reader speaks it with its new state.
void MemberListAccessible::tellFoldToOlderBridges([[maybe_unused]] int headingRow) const {
#if QT_VERSION < QT_VERSION_CHECK(6, 7, 0)
    UniformRowListView* list = view();
    if (headingRow < 0 || !list->hasFocus() || list->currentIndex().row() != headingRow) {
        return;
    }
    if (const auto found = items_.find(QPersistentModelIndex(list->currentIndex())); found != items_.end()) {
        QAccessible::deleteAccessibleInterface(found->second);
        items_.erase(found);
    }
    QAccessibleEvent event(item(headingRow), QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
#endif
}

void MemberListAccessible::forget(bool all) const {
    headingsKnown_ = false;
    for (auto it = items_.begin(); it != items_.end();) {
        if (all || !it->first.isValid()) {
            QAccessible::deleteAccessibleInterface(it->second);
            it = items_.erase(it);
        } else {
            ++it;
        }
    }
}

bool MemberListAccessible::underHeadings() const {
    QAbstractItemModel* rows = model();
    return rows != nullptr && rows->rowCount() > 0 &&
           rows->index(0, 0).data(ChanSaveListModel::HeadingRole).toBool();
}

// Under headings the rows run in rank order, so the next heading is the first
// row of a later rank: found by halving, a few look-ups a heading.
const std::vector<int>& MemberListAccessible::headingRows() const {
    if (headingsKnown_) {
        return headingRows_;
    }
    headingRows_.clear();
    if (underHeadings()) {
        QAbstractItemModel& rows = *model();
        const int count = rows.rowCount();
        const auto rankAt = [&](int row) {
            return rows.index(row, 0).data(ChanSaveListModel::RankRole).toInt();
        };
        for (int heading = 0; heading < count;) {
            headingRows_.push_back(heading);
            const int rank = rankAt(heading);
            int low = heading + 1;
            int high = count;
            while (low < high) {
                const int middle = low + (high - low) / 2;
                if (rankAt(middle) > rank) {
                    high = middle;
                } else {
                    low = middle + 1;
                }
            }
            heading = low;
        }
    }
    headingsKnown_ = true;
    return headingRows_;
}

int MemberListAccessible::headingAbove(int row) const {
    const std::vector<int>& headings = headingRows();
    const auto above = std::upper_bound(headings.begin(), headings.end(), row);
    return above == headings.begin() ? -1 : *(above - 1);
}

int MemberListAccessible::membersUnder(int headingRow) const {
    const std::vector<int>& headings = headingRows();
    const auto next = std::upper_bound(headings.begin(), headings.end(), headingRow);
    const int end = next == headings.end() ? model()->rowCount() : *next;
    return end - headingRow - 1;
}

QAccessibleInterface* MemberListAccessible::item(int row) const {
    QAbstractItemModel* rows = model();
    if (rows == nullptr || row < 0 || row >= rows->rowCount()) {
        return nullptr;
    }
    const QPersistentModelIndex index(rows->index(row, 0));
    if (const auto found = items_.find(index); found != items_.end()) {
        return QAccessible::accessibleInterface(found->second);
    }
    auto* made = new RowItem(*this, index);
    const QAccessible::Id id = QAccessible::registerAccessibleInterface(made);
    items_.emplace(index, id);
    return made;
}

QAccessible::Role MemberListAccessible::role() const {
    return underHeadings() ? QAccessible::Tree : QAccessible::List;
}

int MemberListAccessible::childCount() const {
    QAbstractItemModel* rows = model();
    if (rows == nullptr) {
        return 0;
    }
    return underHeadings() ? static_cast<int>(headingRows().size()) : rows->rowCount();
}

QAccessibleInterface* MemberListAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    return item(underHeadings() ? headingRows()[static_cast<std::size_t>(index)] : index);
}

int MemberListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* item = dynamic_cast<const RowItem*>(child);
    if (item == nullptr || !item->isValid()) {
        return -1;
    }
    if (!underHeadings()) {
        return item->row();
    }
    const std::vector<int>& headings = headingRows();
    const auto found = std::lower_bound(headings.begin(), headings.end(), item->row());
    return found != headings.end() && *found == item->row() ? static_cast<int>(found - headings.begin()) : -1;
}

QAccessibleInterface* MemberListAccessible::childAt(int x, int y) const {
    UniformRowListView* list = view();
    const QPoint at = list->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = list->indexAt(at);
    return index.isValid() ? item(index.row()) : nullptr;
}

QAccessibleInterface* MemberListAccessible::focusChild() const {
    const QModelIndex current = view()->currentIndex();
    return view()->hasFocus() && current.isValid() ? item(current.row()) : nullptr;
}

} // namespace tavrin::detail
