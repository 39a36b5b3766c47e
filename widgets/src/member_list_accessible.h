#pragma once

#include <QAccessibleWidget>
#include <QPersistentModelIndex>
#include <QPointer>

#include <map>
#include <vector>

class QAbstractItemModel;

namespace tavrin::detail {

class UniformRowListView;

// The list as a screen reader finds it. In a list without headings, a list of
// members. Under rank headings, a tree whose items are the headings, each
// expandable, and expanded or collapsed, with its rank's members shown as its
// children: a member's position counts the members of its rank ("1 of 7"),
// never a heading. An item follows the person, not the row: it lives while
// the row does, wherever the row moves, and goes when it goes.
class MemberListAccessible : public QAccessibleWidget {
public:
    explicit MemberListAccessible(UniformRowListView* view);
    ~MemberListAccessible() override;
    MemberListAccessible(const MemberListAccessible&) = delete;
    MemberListAccessible& operator=(const MemberListAccessible&) = delete;

    // Makes the list views' interfaces from now on; once is enough.
    static void installFactory();
    // The item of a row of the list view, made when first asked for; none for
    // a row that is not there.
    static QAccessibleInterface* itemOf(UniformRowListView* view, int row);

    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    UniformRowListView* view() const;
    QAbstractItemModel* model() const;
    // Whether the rows stand under headings, and which rows the headings are.
    bool underHeadings() const;
    const std::vector<int>& headingRows() const;
    // The heading row above a member's row, or -1 without headings.
    int headingAbove(int row) const;
    // The rows under a heading that it shows: none when folded.
    int membersUnder(int headingRow) const;
    QAccessibleInterface* item(int row) const;

private:
    void follow(QAbstractItemModel* model) const;
    void forget(bool all) const;
    void tellFoldToOlderBridges(int headingRow) const;

    // Each item's id, by its row's persistent index, which keeps its identity
    // while the row moves.
    mutable std::map<QPersistentModelIndex, QAccessible::Id> items_;
    mutable std::vector<int> headingRows_;
    mutable bool headingsKnown_ = false;
    mutable QPointer<QAbstractItemModel> followed_;
    mutable std::vector<QMetaObject::Connection> connections_;
};

} // namespace tavrin::detail
