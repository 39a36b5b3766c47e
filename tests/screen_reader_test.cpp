// What a screen reader is told, and the list's context menu from the keyboard.
// Offscreen, Qt tells no screen reader anything; these tests switch Qt's
// accessibility on and record what it would tell one.

#include "tavrin_widgets/frm_tavrin.h"
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
            told().push_back({event->type(), event->object(), event->child()});
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

    // The member the reader was last told has the focus, as "row", or -1
    // for the list itself, or -2 for anything else.
    int lastFocus() const {
        const auto focus = std::find_if(told().rbegin(), told().rend(),
                                        [](const Told& event) { return event.type == QAccessible::Focus; });
        if (focus == told().rend()) {
            return -3; // none
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

} // namespace
