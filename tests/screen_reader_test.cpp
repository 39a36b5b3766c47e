// What a screen reader is told, and the list's context menu from the keyboard.
// Offscreen, Qt tells no screen reader anything; these tests switch Qt's
// accessibility on and record what it would tell one.

#include "tavrin_widgets/frm_tavrin.h"
#include "tavrin_widgets/member_panel.h"
#include "widget_checks.h"

#include <QAccessible>
#include <QApplication>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Told {
    QAccessible::Event type;
    const QObject* object;
    int child;
    QString name; // of an item with no object of its own, such as a row
    QAccessible::State changed;
};

std::vector<Told>& told() {
    static std::vector<Told> events;
    return events;
}

class ScreenReader : public ::testing::Test {
protected:
    ScreenReader() {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            QAccessibleInterface* item = event->object() == nullptr ? event->accessibleInterface() : nullptr;
            told().push_back({event->type(), event->object(), event->child(),
                              item != nullptr ? item->text(QAccessible::Name) : QString(),
                              event->type() == QAccessible::StateChanged
                                  ? static_cast<QAccessibleStateChangeEvent*>(event)->changedStates()
                                  : QAccessible::State()});
        });
        for (int index = 0; index < 30; ++index) {
            window.TavrinAdd(QString("member%1").arg(index), "RATS", 0, index);
        }
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        told().clear();
    }
    ~ScreenReader() override {
        QAccessible::installUpdateHandler(nullptr);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
    }

    // The row of the member the reader was last told has the focus, or -1
    // for the list itself, or -2 for anything else.
    int lastFocus() const {
        const auto focus = std::find_if(told().rbegin(), told().rend(),
                                        [](const Told& event) { return event.type == QAccessible::Focus; });
        if (focus == told().rend()) {
            return -3; // none
        }
        if (focus->object == nullptr) {
            const auto rows = list().model()->match(list().model()->index(0, 0), Qt::AccessibleTextRole,
                                                    focus->name, 1, Qt::MatchExactly);
            return rows.isEmpty() ? -2 : rows.front().row();
        }
        return focus->object == &list() ? focus->child : -2;
    }

    QListView& list() const { return *window.findChild<QListView*>("lstChanSave"); }
    QPushButton& close() const { return *window.findChild<QPushButton*>("cmdClose"); }

    frmTavrin window;
};

TEST_F(ScreenReader, EndsOnTheCurrentMemberWhenTheListGainsTheFocus) {
    close().setFocus();
    QTest::keyClick(&close(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCoreApplication::processEvents();
    ASSERT_TRUE(list().hasFocus());
    EXPECT_EQ(lastFocus(), 0) << "with no current member, the first becomes current and is spoken";

    list().setCurrentIndex(list().model()->index(7, 0));
    QTest::keyClick(&list(), Qt::Key_Down);
    EXPECT_EQ(lastFocus(), 8) << "moving the current row is spoken";

    QTest::keyClick(&list(), Qt::Key_Tab);
    told().clear();
    QTest::keyClick(&close(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(lastFocus(), 8) << "tabbing in ends on the current member";
}

TEST_F(ScreenReader, IsNotPulledToTheListByAChangeFromElsewhere) {
    list().setCurrentIndex(list().model()->index(3, 0));
    close().setFocus();
    told().clear();
    window.TavrinDel("member3"); // the current member leaves; the next becomes current
    window.TavrinAdd("op", "RATS", 0x02, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(list().currentIndex().row(), 4);
    EXPECT_EQ(lastFocus(), -3) << "the focus is still on Close";
}

// Opens the context menu with a key and tells what was active in it, and
// where it opened.
struct MenuShown {
    QString active;
    QPoint at;
};

MenuShown openMenuWith(QListView& list, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    MenuShown shown;
    whenTheMenuShows([&](QMenu& menu) {
        shown.active = menu.activeAction() != nullptr ? menu.activeAction()->text() : "";
        shown.at = menu.pos();
    });
    if (key == Qt::Key_Menu) { // as the window system sends it
        const QPoint row = list.visualRect(list.currentIndex()).center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, row, list.viewport()->mapToGlobal(row));
        QApplication::sendEvent(&list, &event);
    } else {
        QTest::keyClick(&list, key, modifiers);
    }
    return shown;
}

TEST_F(ScreenReader, HearsTheMenuFromTheKeyboardWithTheDisplayInUse) {
    list().setFocus();
    list().setCurrentIndex(list().model()->index(5, 0));
    const QPoint row = list().viewport()->mapToGlobal(list().visualRect(list().currentIndex()).center());
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_F10, Qt::KeyboardModifiers(Qt::ShiftModifier)},
                                         std::pair{Qt::Key_Menu, Qt::KeyboardModifiers()}}) {
        window.setDisplayMode(key == Qt::Key_Menu ? frmTavrin::DisplayMode::Members
                                                  : frmTavrin::DisplayMode::EntryText);
        const MenuShown shown = openMenuWith(list(), key, modifiers);
        EXPECT_EQ(shown.active, key == Qt::Key_Menu ? "Members" : "Entry text") << key;
        EXPECT_EQ(shown.at, row) << "beside the current row";
    }
}

// Under rank headings the reader hears a tree: the headings are its items,
// with their fold as a state told as it changes, however it changes, and
// each rank's members are their heading's children, so a member's position
// counts members only. Nothing of it makes Qt warn.
TEST_F(ScreenReader, HearsRanksAsATreeWithFoldsAndPositionsAmongMembers) {
    static QStringList warnings;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&,
                                                                const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg && !message.contains("This plugin does not support")) {
            warnings << message;
        }
    });
    MemberPanel panel;
    panel.setShownOrder(tavrin::ShownOrder::rankThenName);
    for (const auto& [name, Flags] :
         {std::pair{"zed", 0x02}, {"amy", 0x02}, {"Cat", 0}, {"bob", 0}, {"dan", 0}}) {
        panel.TavrinAdd(name, "RATS", Flags, 1);
    }
    panel.show();
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    auto& view = *panel.findChild<QListView*>("lstChanSave");
    view.setFocus();
    QAccessibleInterface& tree = *QAccessible::queryAccessibleInterface(&view);
    EXPECT_EQ(tree.role(), QAccessible::Tree);
    ASSERT_EQ(tree.childCount(), 2) << "the ranks, not the rows";
    QAccessibleInterface& members = *tree.child(1); // until it is folded
    EXPECT_EQ(members.text(QAccessible::Name), "Members, 3 members");
    EXPECT_TRUE(members.state().expandable && members.state().expanded);
    ASSERT_EQ(members.childCount(), 3);
    QAccessibleInterface& cat = *members.child(1);
    EXPECT_EQ(cat.text(QAccessible::Name), "Cat, STAR, ping 1");
    EXPECT_EQ(cat.parent(), &members);
    EXPECT_EQ(members.indexOfChild(&cat), 1) << "2 of 3, among the members";

    const auto lastTold = [](QAccessible::Event type) {
        const auto found = std::find_if(told().rbegin(), told().rend(),
                                        [&](const Told& event) { return event.type == type; });
        return found != told().rend() ? *found : Told{};
    };
    view.setCurrentIndex(view.model()->index(4, 0)); // bob, the first member
    const struct {
        const char* what;
        Qt::Key key;
        QString focus;
        bool folded;
    } steps[] = {
        {"Up reaches the heading", Qt::Key_Up, "Members, 3 members", false},
        {"Left folds it, and the fold is told", Qt::Key_Left, "Members, 3 members", true},
        {"Right opens it", Qt::Key_Right, "Members, 3 members", false},
        {"Space folds it", Qt::Key_Space, "Members, 3 members", true},
    };
    for (const auto& step : steps) {
        told().clear();
        QTest::keyClick(&view, step.key);
        if (step.key == Qt::Key_Up) {
            EXPECT_EQ(lastTold(QAccessible::Focus).name, step.focus) << step.what;
        } else {
            const Told changed = lastTold(QAccessible::StateChanged);
            EXPECT_EQ(changed.name, step.focus) << step.what;
            EXPECT_TRUE(changed.changed.expanded && changed.changed.collapsed) << step.what;
        }
        EXPECT_EQ(tree.child(1)->state().collapsed, step.folded) << step.what;
    }
    told().clear();
    panel.model().setRankFolded(tavrin::Rank::member, false);
    EXPECT_EQ(lastTold(QAccessible::StateChanged).name, "Members, 3 members")
        << "a fold by the program is told";

    // A busy channel, read by the reader all along.
    for (int change = 0; change < 200; ++change) {
        panel.TavrinAdd(QString("m%1").arg(change % 17), "RATS", change % 5 == 0 ? 0x02 : 0, change);
        if (change % 7 == 0) {
            panel.TavrinDel(QString("m%1").arg(change % 11));
        }
        if (change % 50 == 0) {
            panel.model().setRankFolded(tavrin::Rank::channelOperator, change % 100 == 0);
            panel.model().setSearch(change % 100 == 0 ? "m1" : "");
        }
        for (int index = 0; index < tree.childCount(); ++index) {
            QAccessibleInterface* heading = tree.child(index);
            ASSERT_EQ(tree.indexOfChild(heading), index);
            for (int at = 0; at < heading->childCount(); ++at) {
                ASSERT_EQ(heading->indexOfChild(heading->child(at)), at);
                ASSERT_EQ(heading->child(at)->parent(), heading);
            }
        }
        QCoreApplication::processEvents();
    }
    panel.clear();
    QCoreApplication::processEvents();
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings, QStringList()) << "no accessibility warnings";
}

} // namespace
