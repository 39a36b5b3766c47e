// Every allocation inside a change of a shown panel is made to fail in turn:
// nothing is thrown to the client, the list is as it was before the call or
// as it is after it, and a failure is told through failed(). Allocations made
// while Qt delivers a signal, or while its item model machinery moves rows
// between its signals before and after, are left alone: those failures are
// Qt's to handle.

#include "failing_allocator.h"
#include "row_follower.h"
#include "tavrin_widgets/chan_save_list_model.h"
#include "tavrin_widgets/frm_tavrin.h"
#include "tavrin_widgets/member_panel.h"

#include <QApplication>
#include <QListView>
#include <QScrollBar>
#include <QSignalSpy>
#include <private/qobject_p.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

using tavrin::testing::allocationsBeforeFailure;

int rowsBeingMoved = 0;
int signalsBeingDelivered = 0;

bool qtIsIdle() {
    return rowsBeingMoved == 0 && signalsBeingDelivered == 0;
}

QStringList namesIn(const MemberPanel& panel) {
    QStringList names;
    for (int row = 0; row < panel.model().rowCount(); ++row) {
        names << panel.model().index(row).data(ChanSaveListModel::NameRole).toString();
    }
    return names;
}

QSignalSpyCallbackSet deliveries{[](QObject*, int, void**) { ++signalsBeingDelivered; }, nullptr,
                                 [](QObject*, int) { --signalsBeingDelivered; }, nullptr};

void countRowsBeingMoved(const QAbstractItemModel& model) {
    const auto begin = [] {
        ++rowsBeingMoved;
    };
    const auto end = [] {
        --rowsBeingMoved;
    };
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, begin);
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, end);
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, begin);
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, end);
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeMoved, begin);
    QObject::connect(&model, &QAbstractItemModel::rowsMoved, end);
    QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, begin);
    QObject::connect(&model, &QAbstractItemModel::modelReset, end);
    QObject::connect(&model, &QAbstractItemModel::layoutAboutToBeChanged, begin);
    QObject::connect(&model, &QAbstractItemModel::layoutChanged, end);
}

TEST(PanelAllocationFailure, NothingEscapesAndTheListIsWholeBeforeOrAfter) {
    qt_register_signal_spy_callbacks(&deliveries);
    tavrin::testing::allocationMayFail = qtIsIdle;
    const struct {
        const char* what;
        std::function<void(MemberPanel&)> change;
        QStringList after;
        // Whether the change was made, where the rows do not show it.
        std::function<bool(const MemberPanel&)> made = nullptr;
    } cases[] = {
        {"a newcomer",
         [](MemberPanel& p) { p.TavrinAdd("Otherworld", "RATS", 0, 5); },
         {"Kestrel", "Zorvathan", "Mirelle", "Otherworld"}},
        {"an operator's refresh",
         [](MemberPanel& p) { p.TavrinAdd("zorvathan", "RATS", 0x02, 5); },
         {"zorvathan", "Kestrel", "Mirelle"}},
        {"a leaving", [](MemberPanel& p) { p.TavrinDel("ZORVATHAN"); }, {"Kestrel", "Mirelle"}},
        {"a channel change", [](MemberPanel& p) { p.clear(); }, {}},
        {"the order switched to rank, under a heading",
         [](MemberPanel& p) { p.setMemberOrder(MemberPanel::MemberOrder::RankThenName); },
         {"", "Kestrel", "Mirelle", "Zorvathan"}},
        {"the display switched",
         [](MemberPanel& p) { p.setDisplayMode(MemberPanel::DisplayMode::Members); },
         {"Kestrel", "Zorvathan", "Mirelle"},
         [](const MemberPanel& p) {
             return p.displayMode() == MemberPanel::DisplayMode::Members;
         }},
    };
    for (const auto& c : cases) {
        bool succeeded = false;
        for (long failAt = 0; !succeeded; ++failAt) {
            MemberPanel panel;
            panel.resize(200, 300);
            panel.show();
            // Each refreshed once, as a channel's members are: each moves to
            // the bottom in turn, and Qt's own record of rows being moved,
            // made before it tells of a move, has its room.
            for (const char* name : {"Kestrel", "Zorvathan", "Mirelle", "Kestrel", "Zorvathan", "Mirelle"}) {
                panel.TavrinAdd(name, "RATS", 0, 47);
            }
            QCoreApplication::processEvents();
            countRowsBeingMoved(panel.model());
            const QStringList before = namesIn(panel);
            QSignalSpy failed(&panel, &MemberPanel::failed);

            allocationsBeforeFailure = failAt;
            EXPECT_NO_THROW(c.change(panel)) << c.what << ", allocation " << failAt;
            succeeded = allocationsBeforeFailure != -1;
            allocationsBeforeFailure = -1;
            QCoreApplication::processEvents();

            const QStringList now = namesIn(panel);
            EXPECT_TRUE(now == before || now == c.after) << c.what << ", allocation " << failAt;
            const bool made = c.made ? c.made(panel) : now == c.after && now != before;
            EXPECT_NE(made, !failed.isEmpty()) << c.what << ", allocation " << failAt
                                               << (made ? ": failed() told, yet the change was made"
                                                        : ": a change that was not made went untold");
            EXPECT_EQ(panel.count(), now.size() - now.count("")) << c.what << ", allocation " << failAt;
            ASSERT_LT(failAt, 5000) << c.what;
        }
    }
    qt_register_signal_spy_callbacks(nullptr);
    tavrin::testing::allocationMayFail = nullptr;
}

// The list window's TavrinDel is the one that throws: the program's test
// window reports its failure, and the list is as it was.
TEST(PanelAllocationFailure, TheListWindowsDeleteThrowsItsFailure) {
    qt_register_signal_spy_callbacks(&deliveries);
    tavrin::testing::allocationMayFail = qtIsIdle;
    bool succeeded = false;
    for (long failAt = 0; !succeeded; ++failAt) {
        frmTavrin window;
        for (const char* name : {"Kestrel", "Zorvathan", "Mirelle"}) {
            window.TavrinAdd(name, "RATS", 0, 47);
        }
        countRowsBeingMoved(window.model());
        bool thrown = false;
        allocationsBeforeFailure = failAt;
        try {
            window.TavrinDel("ZORVATHAN");
        } catch (const std::exception& failure) {
            thrown = true;
            allocationsBeforeFailure = -1;
            EXPECT_STREQ(failure.what(), "std::bad_alloc");
        }
        succeeded = allocationsBeforeFailure != -1;
        allocationsBeforeFailure = -1;
        EXPECT_EQ(window.panel().count(), thrown ? 3 : 2) << "allocation " << failAt;
        ASSERT_LT(failAt, 5000);
    }
    qt_register_signal_spy_callbacks(nullptr);
    tavrin::testing::allocationMayFail = nullptr;
}

// The scroll range follows a burst of changes from one queued call: when that
// call could not be queued, the next change queues it again.
TEST(PanelAllocationFailure, AScrollRangeThatCouldNotBeQueuedIsQueuedWithTheNextChange) {
    QListView view;
    int rows = 100;
    tavrin::detail::RowFollower follower(view, [&] {
        return tavrin::detail::RowGeometry{16, 88, rows, true};
    });
    allocationsBeforeFailure = 0;
    follower.rowsInserted(0, rows - 1);
    ASSERT_EQ(allocationsBeforeFailure, -1) << "the queued call failed";
    QCoreApplication::processEvents();
    rows = 101;
    follower.rowsInserted(100, 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 101 - 5);
}

} // namespace
