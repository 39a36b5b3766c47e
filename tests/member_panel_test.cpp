// The member panel as a chat client uses it: rows that stay put under the
// pointer while the channel changes above them, emptying the list on a
// channel change, and the member's context menu.

#include "tavrin_widgets/chan_save_list_model.h"
#include "tavrin_widgets/frm_tavrin.h"
#include "tavrin_widgets/member_panel.h"
#include "widget_checks.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMetaProperty>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using DisplayMode = frmTavrin::DisplayMode;

QString member(int index) {
    return QString("member%1").arg(index);
}

std::string memberName(int index) {
    return member(index).toStdString();
}

std::string nameAt(const QListView& view, int y) {
    return view.indexAt(QPoint(2, y)).data(Qt::UserRole).toString().toStdString();
}

std::string nameOf(const QModelIndex& index) {
    return index.data(Qt::UserRole).toString().toStdString();
}

struct Change {
    const char* what;
    int top; // the member shown at the top before the change
    std::function<void(MemberPanel&)> change;
    std::string shownAtTop; // after it
    bool paintsRows;
    int current = 505;
    int currentAfter = 505;
    bool ranked = false; // by rank, then name, under headings
};

void PrintTo(const Change& c, std::ostream* out) {
    *out << c.what;
}

const std::vector<Change> changes{
    {"an operator joins", 500, [](MemberPanel& p) { p.TavrinAdd("op", "RATS", 0x02, 1); }, memberName(500),
     false},
    {"a member above the view is refreshed", 500,
     [](MemberPanel& p) { p.TavrinAdd(member(10), "RATS", 0, 2); }, memberName(500), false},
    {"ten members above the view leave", 500,
     [](MemberPanel& p) {
         for (int index = 10; index < 20; ++index) {
             p.TavrinDel(member(index));
         }
     },
     memberName(500), false},
    {"a member in view leaves", 500, [](MemberPanel& p) { p.TavrinDel(member(503)); }, memberName(500), true},
    {"the top member leaves", 500, [](MemberPanel& p) { p.TavrinDel(member(500)); }, memberName(501), true},
    {"an operator joins at the top of the list", 0,
     [](MemberPanel& p) { p.TavrinAdd("op", "RATS", 0x02, 1); }, "op", true, 5, 5},
    {"the current member, above the view, is refreshed", 500,
     [](MemberPanel& p) { p.TavrinAdd(member(10), "RATS", 0, 2); }, memberName(500), false, 10, 10},
    {"by rank, an operator joins under a new heading", 500,
     [](MemberPanel& p) { p.TavrinAdd("op", "RATS", 0x02, 1); }, memberName(500), false, 505, 505, true},
    {"by rank, a member above the view becomes an operator", 500,
     [](MemberPanel& p) { p.TavrinAdd(member(10), "RATS", 0x02, 1); }, memberName(500), false, 505, 505,
     true},
    {"by rank, a member in view leaves", 500, [](MemberPanel& p) { p.TavrinDel(member(503)); },
     memberName(500), true, 505, 505, true},
    // A refresh keeps the member current where they go.
    {"the current member, in view, is refreshed", 500,
     [](MemberPanel& p) { p.TavrinAdd(member(505), "RATS", 0, 2); }, memberName(500), true},
    {"by rank, the current member's ping changes", 500,
     [](MemberPanel& p) { p.TavrinAdd(member(505), "RATS", 0, 2); }, memberName(500), true, 505, 505, true},
    {"by rank, the current member, above the view, becomes an operator", 500,
     [](MemberPanel& p) { p.TavrinAdd(member(10), "RATS", 0x02, 1); }, memberName(500), false, 10, 10, true},
};

// Each change, in both displays, in the panel and in the list window.
class RowsInView : public ::testing::TestWithParam<std::tuple<Change, DisplayMode, bool>> {};

TEST_P(RowsInView, StayPutWhileMembersChangeAboveThem) {
    const auto& [c, display, inListWindow] = GetParam();
    frmTavrin window;
    MemberPanel panel;
    QWidget& host = inListWindow ? static_cast<QWidget&>(window) : panel;
    MemberPanel& members = inListWindow ? window.panel() : panel;
    members.setDisplayMode(display);
    members.setShownOrder(c.ranked ? tavrin::ShownOrder::rankThenName : tavrin::ShownOrder::list);
    for (int index = 0; index < 1000; ++index) {
        members.TavrinAdd(member(index), "RATS", 0, index);
    }
    host.show();
    auto& view = *host.findChild<QListView*>("lstChanSave");
    const auto rowOf = [&](int index) {
        return view.model()->match(view.model()->index(0, 0), ChanSaveListModel::NameRole, member(index), 1,
                                   Qt::MatchExactly)[0];
    };
    const QModelIndex top = rowOf(c.top);
    view.setCurrentIndex(rowOf(c.current));
    const QPersistentModelIndex held = view.currentIndex(); // as a client holds a member
    view.scrollTo(top, QAbstractItemView::PositionAtTop);
    QCoreApplication::processEvents();
    ASSERT_EQ(nameAt(view, 1), memberName(c.top));
    PaintCounter paints(*view.viewport());
    PaintCounter framePaints(view);
    PaintCounter panelPaints(members);

    c.change(members);
    QCoreApplication::processEvents();
    EXPECT_EQ(nameAt(view, 1), c.shownAtTop);
    EXPECT_EQ(nameOf(view.currentIndex()), memberName(c.currentAfter));
    EXPECT_TRUE(view.selectionModel()->isSelected(view.currentIndex()));
    EXPECT_EQ(nameOf(held), memberName(c.current)) << "the member's index goes with them";
    EXPECT_EQ(paints.paints > 0, c.paintsRows);
    EXPECT_EQ(framePaints.paints + panelPaints.paints, 0)
        << "a new count or scroll range paints only its line or bar";
    EXPECT_EQ(view.verticalScrollBar()->maximum(),
              view.model()->rowCount() - view.viewport()->height() / view.visualRect(top).height());
}

INSTANTIATE_TEST_SUITE_P(EachChange, RowsInView,
                         ::testing::Combine(::testing::ValuesIn(changes),
                                            ::testing::Values(DisplayMode::EntryText, DisplayMode::Members),
                                            ::testing::Bool()));

TEST(MemberPanel, ClearEmptiesTheListInOneStepForTheNextChannel) {
    MemberPanel panel;
    panel.setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    QSignalSpy counts(&panel, &MemberPanel::countChanged);
    for (int index = 0; index < 1204; ++index) {
        panel.TavrinAdd(member(index), "RATS", index < 3 ? 0x02 : 0, index);
    }
    panel.TavrinAdd(member(7), "RATS", 0, 1); // a refresh changes no count
    panel.show();
    auto& view = *panel.findChild<QListView*>("lstChanSave");
    const auto* header = panel.findChild<QLabel*>("lblMemberCount");
    EXPECT_EQ(counts.count(), 1204);
    EXPECT_EQ(header->text(), "3 operators, 1,204 members");
    EXPECT_EQ(view.accessibleName(), "Channel members, 3 operators, 1,204 members") << "heard on entering";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Description), header->text());
    EXPECT_TRUE(panel.contains("MEMBER1203"));

    QSignalSpy resets(view.model(), &QAbstractItemModel::modelReset);
    QSignalSpy removals(view.model(), &QAbstractItemModel::rowsRemoved);
    counts.clear();
    panel.clear();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(removals.count(), 0);
    EXPECT_EQ(counts.count(), 1);
    EXPECT_EQ(panel.count(), 0);
    EXPECT_EQ(header->text(), "No members");
    EXPECT_FALSE(panel.contains("member5"));

    // The next channel's members arrive at once, as one reset.
    QSignalSpy insertions(view.model(), &QAbstractItemModel::rowsInserted);
    panel.addMembers({{member(5), "RATS", 0, 1}, {"op", "RATS", 0x02, 1}, {"OP", "RATS", 0x02, 2}});
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(insertions.count(), 0);
    EXPECT_EQ(header->text(), "1 operator, 2 members");
    EXPECT_EQ(view.model()->index(0, 0).data().toString(), "[ICON]OP[/ICON][USER]OP[/USER][PING]2[/PING]");
    panel.addMembers({{member(6), "RATS", 0, 1}});
    EXPECT_EQ(insertions.count(), 1) << "into a list with members, as rows";
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
}

// By rank, a heading stands above each rank, as a tree's parent: the arrow
// keys visit it, Left goes up to it and folds it, Right opens it and goes
// down, and a click on it, or Space or Return, folds its rank away and back.
// The focus and the find field land on members. Counts count members only.
TEST(MemberPanel, HeadingsFoldTheirRanksAndTheKeysReachThemAsInATree) {
    MemberPanel panel;
    panel.setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    panel.setShownOrder(tavrin::ShownOrder::rankThenName);
    for (const auto& [name, Flags] : {std::pair{"zed", 0x02}, {"amy", 0x02}, {"Cat", 0}, {"bob", 0}}) {
        panel.TavrinAdd(name, "RATS", Flags, 1);
    }
    panel.show();
    auto& view = *panel.findChild<QListView*>("lstChanSave");
    QSignalSpy activated(&panel, &MemberPanel::memberActivated);
    // A heading by its words, a member by name.
    const auto said = [](const QModelIndex& index) {
        const bool heading = index.data(ChanSaveListModel::HeadingRole).toBool();
        return index.data(heading ? int{Qt::DisplayRole} : int{ChanSaveListModel::NameRole}).toString();
    };
    const auto rows = [&] {
        QStringList shown;
        for (int row = 0; row < view.model()->rowCount(); ++row) {
            shown << said(view.model()->index(row, 0));
        }
        return shown;
    };
    const auto press = [&](Qt::Key key) {
        return [&view, key] {
            QTest::keyClick(&view, key);
        };
    };
    const auto clickRow = [&](int row) {
        return [&view, row] {
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                              view.visualRect(view.model()->index(row, 0)).center());
        };
    };
    const QStringList all{"Operators \u2014 2", "amy", "zed", "Members \u2014 2", "bob", "Cat"};
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    view.setFocus();
    EXPECT_EQ(said(view.currentIndex()), "amy") << "the focus makes the first member current, not a heading";
    view.setCurrentIndex(view.model()->index(2, 0));
    const struct {
        const char* what;
        std::function<void()> act;
        QString current;
        QStringList rows;
    } steps[] = {
        {"Down goes to a heading", press(Qt::Key_Down), all[3], all},
        {"and on to its first member", press(Qt::Key_Down), "bob", all},
        {"Up goes back to the heading", press(Qt::Key_Up), all[3], all},
        {"Home goes to the first row", press(Qt::Key_Home), all[0], all},
        {"End goes to the last", press(Qt::Key_End), "Cat", all},
        {"Left goes to the heading", press(Qt::Key_Left), all[3], all},
        {"Left on an open heading folds it", press(Qt::Key_Left), all[3], {all[0], "amy", "zed", all[3]}},
        {"Left on a folded heading stays", press(Qt::Key_Left), all[3], {all[0], "amy", "zed", all[3]}},
        {"Right unfolds it", press(Qt::Key_Right), all[3], all},
        {"Up to the member above", press(Qt::Key_Up), "zed", all},
        {"Up to the first member", press(Qt::Key_Up), "amy", all},
        {"Up to the heading", press(Qt::Key_Up), all[0], all},
        {"Space folds", press(Qt::Key_Space), all[0], {all[0], all[3], "bob", "Cat"}},
        {"Down goes to the next row shown", press(Qt::Key_Down), all[3], {all[0], all[3], "bob", "Cat"}},
        {"Return folds", press(Qt::Key_Return), all[3], {all[0], all[3]}},
        {"Right unfolds a folded heading", press(Qt::Key_Right), all[3], {all[0], all[3], "bob", "Cat"}},
        {"Return folds it again", press(Qt::Key_Return), all[3], {all[0], all[3]}},
        {"a click unfolds", clickRow(0), all[0], {all[0], "amy", "zed", all[3]}},
        {"Right goes to the first member", press(Qt::Key_Right), "amy", {all[0], "amy", "zed", all[3]}},
        {"Down to the next member", press(Qt::Key_Down), "zed", {all[0], "amy", "zed", all[3]}},
        {"Left goes up to the heading, past a member",
         press(Qt::Key_Left),
         all[0],
         {all[0], "amy", "zed", all[3]}},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(said(view.currentIndex()), step.current) << step.what;
        EXPECT_EQ(rows(), step.rows) << step.what;
    }
    QSignalSpy redrawn(view.model(), &QAbstractItemModel::dataChanged);
    QTest::keyClick(&view, Qt::Key_Space);
    QTest::keyClick(&view, Qt::Key_Space);
    ASSERT_EQ(redrawn.count(), 2) << "folding and unfolding redraw the heading's arrow";
    EXPECT_EQ(redrawn.value(0).value(0).value<QModelIndex>().row(), 0);
    EXPECT_EQ(view.model()->index(3, 0).data(Qt::AccessibleTextRole).toString(),
              "Members, heading, 2 members, folded");
    EXPECT_EQ(panel.count(), 4);
    EXPECT_EQ(panel.findChild<QLabel*>("lblMemberCount")->text(), "2 operators, 4 members");
    EXPECT_EQ(activated.count(), 0) << "Return on a heading activates no member";

    // The find field's keys land on members, never on a heading.
    auto& find = *panel.findChild<QLineEdit*>("txtFind");
    view.setCurrentIndex(view.model()->index(2, 0));
    QTest::keyClicks(&find, "a"); // zed goes, Cat stays folded away
    QTest::keyClick(&find, Qt::Key_Return);
    EXPECT_EQ(activated.value(0).value(0).toString(), "amy") << "Return activates the first member shown";
    QTest::keyClick(&find, Qt::Key_Down);
    EXPECT_EQ(said(view.currentIndex()), "amy") << "Down goes to the first member shown";
    (new QLineEdit(&panel))->show(); // what the client puts after the list
    find.setFocus();
    QTest::keyClick(&find, Qt::Key_Tab);
    EXPECT_TRUE(view.hasFocus()) << "Tab goes from the find field to the list below it";
}

// Switching the order keeps the current member, and brings them into sight.
TEST(MemberPanel, SwitchingTheOrderKeepsTheCurrentMemberInSight) {
    MemberPanel panel;
    panel.resize(200, 300);
    for (int index = 0; index < 1000; ++index) {
        panel.TavrinAdd(member(index), "RATS", 0, index);
    }
    panel.show();
    auto& view = *panel.findChild<QListView*>("lstChanSave");
    view.setCurrentIndex(view.model()->index(500, 0));
    view.scrollTo(view.currentIndex());
    for (const auto order : {MemberPanel::MemberOrder::RankThenName, MemberPanel::MemberOrder::ListOrder}) {
        panel.setMemberOrder(order);
        QCoreApplication::processEvents();
        EXPECT_EQ(nameOf(view.currentIndex()), memberName(500));
        EXPECT_TRUE(view.viewport()->rect().contains(view.visualRect(view.currentIndex())))
            << "row " << view.currentIndex().row();
    }
}

// Every property a client can write tells its change, once, as QML bindings
// and a client's own menus need; writing the same value again tells nothing.
TEST(MemberPanel, EveryWritablePropertyTellsItsChange) {
    MemberPanel panel;
    frmTavrin window;
    ChanSaveListModel model;
    for (QObject* object :
         {static_cast<QObject*>(&panel), static_cast<QObject*>(&window), static_cast<QObject*>(&model)}) {
        const QMetaObject& type = *object->metaObject();
        for (int index = type.propertyOffset(); index < type.propertyCount(); ++index) {
            const QMetaProperty property = type.property(index);
            if (!property.isWritable()) {
                continue;
            }
            ASSERT_TRUE(property.hasNotifySignal()) << property.name();
            const QVariant value = property.read(object);
            QVariant other = property.isEnumType()
                                 ? QVariant((value.toInt() + 1) % property.enumerator().keyCount())
                                 : QVariant(!value.toBool());
            if (value.metaType() == QMetaType::fromType<QString>()) {
                other = value.toString() + "x";
            } else if (value.metaType() == QMetaType::fromType<tavrin::ShownOrder>()) {
                other = QVariant::fromValue(tavrin::ShownOrder::rankThenName);
            }
            QSignalSpy told(object, property.notifySignal());
            ASSERT_TRUE(property.write(object, other)) << property.name();
            ASSERT_TRUE(property.write(object, other)) << property.name();
            EXPECT_EQ(told.count(), 1) << property.name();
            EXPECT_NE(property.read(object), value) << property.name();
        }
    }
    // The panel follows its model, however the model is changed.
    QSignalSpy order(&panel, &MemberPanel::shownOrderChanged);
    QSignalSpy headings(&panel, &MemberPanel::rankHeadingsShownChanged);
    panel.model().setShownOrder(panel.shownOrder() == tavrin::ShownOrder::list
                                    ? tavrin::ShownOrder::rankThenName
                                    : tavrin::ShownOrder::list);
    panel.model().setRankHeadingsShown(!panel.rankHeadingsShown());
    EXPECT_EQ(order.count(), 1);
    EXPECT_EQ(headings.count(), 1);
}

TEST(MemberPanel, AClientAddsItsActionsToAMembersMenu) {
    MemberPanel panel;
    panel.resize(200, 300);
    panel.TavrinAdd("Zorv", "RATS", 0, 1);
    panel.show();
    auto& view = *panel.findChild<QListView*>("lstChanSave");
    QStringList requests;
    QObject::connect(&panel, &MemberPanel::memberMenuRequested, [&](const QString& username, QMenu* menu) {
        requests << username;
        menu->addAction("Whisper");
    });
    for (const QPoint& where : {view.visualRect(view.model()->index(0, 0)).center(), QPoint(5, 250)}) {
        QStringList shown;
        whenTheMenuShows([&](QMenu& menu) {
            for (const QAction* action : menu.actions()) {
                shown << (action->isSeparator() ? "-" : action->text());
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, where, view.viewport()->mapToGlobal(where));
        QApplication::sendEvent(view.viewport(), &event);
        EXPECT_EQ(shown, (QStringList{"Whisper", "-", "Entry text", "Members", "-", "Order of arrival",
                                      "Rank, then name"}));
    }
    EXPECT_EQ(requests, (QStringList{"Zorv", ""})) << "over an empty area the name is empty";
}

// The find field from the keyboard, in the list window, where it opens over
// the list's lower edge, and in the panel, where it is always shown.
// In the list window, and in the panel.
class FindMember : public ::testing::TestWithParam<bool> {};

TEST_P(FindMember, NarrowsAsYouTypeAndAnswersTheKeys) {
    frmTavrin window;
    MemberPanel panel;
    const bool listWindow = GetParam();
    QWidget* host = listWindow ? static_cast<QWidget*>(&window) : &panel;
    auto& members = listWindow ? window.panel() : panel;
    members.setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    for (int index = 0; index < 60; ++index) {
        members.TavrinAdd(member(index), "RATS", 0, index);
    }
    host->show();
    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host));
    auto& view = *host->findChild<QListView*>("lstChanSave");
    auto& find = *host->findChild<QLineEdit*>("txtFind");
    EXPECT_EQ(find.isVisible(), !listWindow) << "the list window's design stays as it was";
    EXPECT_EQ(find.placeholderText(), "Find member");
    EXPECT_EQ(find.accessibleName(), "Find member");
    view.setFocus();
    view.setCurrentIndex(view.model()->index(45, 0));

    QTest::keySequence(&view, QKeySequence::Find);
    EXPECT_TRUE(find.isVisible());
    EXPECT_TRUE(find.hasFocus());
    if (listWindow) {
        EXPECT_EQ(find.geometry().bottom(), view.geometry().bottom()) << "over the list's lower edge";
    }
    QTest::keyClicks(&find, "EMBER4");
    EXPECT_EQ(view.model()->rowCount(), 11) << "member4 and member40 to member49";
    EXPECT_EQ(nameOf(view.currentIndex()), memberName(45)) << "still current while shown";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Description),
              "11 of 60 members shown");
    EXPECT_TRUE(members.contains(member(12))) << "a member the search hides is still listed";
    EXPECT_EQ(members.count(), 60);

    QSignalSpy activated(&members, &MemberPanel::memberActivated);
    QTest::keyClick(&find, Qt::Key_Return);
    EXPECT_EQ(activated.value(0).value(0).toString(), member(4)) << "Return activates the first shown";
    QTest::keyClick(&find, Qt::Key_Down);
    EXPECT_TRUE(view.hasFocus());
    EXPECT_EQ(nameOf(view.currentIndex()), memberName(4));

    view.setCurrentIndex(view.model()->index(3, 0));
    QTest::keySequence(&view, QKeySequence::Find);
    QTest::keyClick(&find, Qt::Key_Escape);
    EXPECT_TRUE(find.text().isEmpty());
    EXPECT_EQ(view.model()->rowCount(), 60) << "everyone again";
    EXPECT_EQ(nameOf(view.currentIndex()), memberName(42));
    EXPECT_EQ(find.isVisible(), !listWindow);
    EXPECT_EQ(view.hasFocus(), listWindow) << "the list window gives the focus back to the list";
}

INSTANTIATE_TEST_SUITE_P(ListWindowOrPanel, FindMember, ::testing::Bool());

} // namespace
