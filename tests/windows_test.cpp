// The two windows driven as a person drives them: typing into the fields,
// clicking the buttons, and reading the rows back from the list's model.

#include "list_window_reference.h"
#include "start_window.h"
#include "user_input.h"
#include "widget_checks.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

const QString zorvPlug = "[ICON]STAR[/ICON][USER]Zorv[/USER][PING]PLUG[/PING]";

// One run of the program: its test window and, once needed, its list window.
class Session {
public:
    ~Session() {
        testWindow.close();
        settle();
    }

    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    void type(const char* field, const QString& text) {
        auto* edit = testWindow.findChild<QLineEdit*>(field);
        ASSERT_NE(edit, nullptr) << field;
        typeInto(*edit, text);
    }

    void click(const char* button) {
        onButton(button, [](QPushButton& pushButton) { clickOn(pushButton); });
    }

    void press(const char* button, Qt::Key key) {
        onButton(button, [key](QPushButton& pushButton) { QTest::keyClick(&pushButton, key); });
    }

    void onButton(const char* button, const std::function<void(QPushButton&)>& action) {
        auto* pushButton = testWindow.findChild<QPushButton*>(button);
        ASSERT_NE(pushButton, nullptr) << button;
        action(*pushButton);
        settle();
    }

    void closeListWindowWith(const char* how) {
        ASSERT_NE(listWindow.window(), nullptr);
        if (std::string_view(how) == "cmdClose") {
            clickOn(*listWindow.window()->findChild<QPushButton*>("cmdClose"));
        } else {
            listWindow.window()->windowHandle()->close(); // the frame's close box
        }
        settle();
    }

    QStringList rows() const {
        QStringList texts;
        if (const auto* window = listWindow.window()) {
            const auto* model = window->findChild<QListView*>("lstChanSave")->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                texts << model->index(row, 0).data().toString();
            }
        }
        return texts;
    }

    bool listShown() const { return listWindow.window() != nullptr && listWindow.window()->isVisible(); }

    ListWindowReference listWindow;
    QStringList errors;
    frmTavrinTest testWindow{listWindow, [this](const QString& message) {
                                 errors << message;
                             }};
};

class Windows : public ::testing::Test, public Session {};

TEST_F(Windows, StartWithTheTestWindowOnly) {
    testWindow.show();
    EXPECT_EQ(listWindow.window(), nullptr);
    EXPECT_EQ(testWindow.windowTitle(), "Test");
    QStringList texts;
    for (const auto* name : {"txtName", "txtProd", "txtFlag", "txtPing"}) {
        texts << testWindow.findChild<QLineEdit*>(name)->text();
    }
    EXPECT_EQ(texts, (QStringList{"Zorv", "RATS", "16", "47"}));
}

// Each window and control, where the design puts it, with its caption.
TEST_F(Windows, ControlsSitWhereTheDesignPutsThem) {
    click("cmdShowWeb");
    const QWidget& list = *listWindow.window();
    const struct {
        const QWidget& window;
        const char* name;
        QRect geometry; // a window's is its client size
        QString caption;
        bool smallArial;
    } cases[] = {
        {testWindow, "frmTavrinTest", {0, 0, 115, 179}, "Test", true},
        {testWindow, "txtName", {24, 8, 65, 19}, "Zorv", true},
        {testWindow, "txtProd", {24, 32, 65, 19}, "RATS", true},
        {testWindow, "txtFlag", {24, 56, 65, 19}, "16", true},
        {testWindow, "txtPing", {24, 80, 65, 19}, "47", true},
        {testWindow, "cmdAdd", {24, 104, 65, 17}, "Add", true},
        {testWindow, "cmdDel", {24, 120, 65, 17}, "Delete", true},
        {testWindow, "cmdShowWeb", {24, 136, 65, 33}, "Show Tavrin", true},
        {list, "frmTavrin", {0, 0, 385, 203}, "Tavrin", false},
        {list, "lstChanSave", {0, 0, 385, 169}, "Channel members", true},
        {list, "cmdClose", {320, 176, 57, 25}, "Close", false},
    };
    for (const auto& c : cases) {
        const QWidget* widget =
            c.window.objectName() == c.name ? &c.window : c.window.findChild<QWidget*>(c.name);
        ASSERT_NE(widget, nullptr) << c.name;
        EXPECT_EQ(widget->isWindow() ? QRect(QPoint(), widget->size()) : widget->geometry(), c.geometry)
            << c.name;
        QString caption = widget->isWindow() ? widget->windowTitle() : widget->accessibleName();
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            caption = button->text();
        } else if (const auto* field = qobject_cast<const QLineEdit*>(widget)) {
            caption = field->text();
        }
        EXPECT_EQ(caption, c.caption) << c.name;
        if (c.smallArial) {
            EXPECT_EQ(widget->font().family(), "Arial") << c.name;
            EXPECT_EQ(widget->font().pointSizeF(), 8.25) << c.name;
        }
    }
}

TEST_F(Windows, TabOrderFollowsTheFieldsThenTheButtons) {
    testWindow.show();
    QStringList order;
    QWidget* widget = testWindow.findChild<QLineEdit*>("txtName");
    for (int step = 0; step < 7; ++step, widget = widget->nextInFocusChain()) {
        while (widget->focusPolicy() == Qt::NoFocus) {
            widget = widget->nextInFocusChain();
        }
        order << widget->objectName();
    }
    EXPECT_EQ(order,
              (QStringList{"txtName", "txtProd", "txtFlag", "txtPing", "cmdAdd", "cmdDel", "cmdShowWeb"}));
}

TEST_F(Windows, AddThenShowDisplaysTheMember) {
    click("cmdAdd");
    EXPECT_FALSE(listShown()) << "adding does not show the list";
    click("cmdShowWeb");
    EXPECT_TRUE(listShown());
    EXPECT_EQ(listWindow.window()->windowTitle(), "Tavrin");
    EXPECT_EQ(rows(), QStringList{zorvPlug});
    EXPECT_TRUE(errors.isEmpty());
}

struct Clicks {
    const char* what;
    std::function<void(Session&)> steps;
    QStringList expected;
};

void PrintTo(const Clicks& c, std::ostream* out) {
    *out << c.what;
}

class ClicksChange : public ::testing::TestWithParam<Clicks>, public Session {};

TEST_P(ClicksChange, TheListAsTyped) {
    GetParam().steps(*this);
    EXPECT_EQ(rows(), GetParam().expected);
    EXPECT_TRUE(errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ClicksChange,
    ::testing::ValuesIn(std::vector<Clicks>{
        {"add twice leaves one", [](Session& w) { w.click("cmdAdd"), w.click("cmdAdd"); }, {zorvPlug}},
        {"flag 2 moves the member to the top",
         [](Session& w) {
             w.click("cmdAdd");
             w.type("txtName", "Other");
             w.click("cmdAdd");
             w.type("txtName", "zorv");
             w.type("txtFlag", "2");
             w.click("cmdAdd");
         },
         {"[ICON]OP[/ICON][USER]zorv[/USER][PING]47[/PING]",
          "[ICON]STAR[/ICON][USER]Other[/USER][PING]PLUG[/PING]"}},
        {"delete removes the entry", [](Session& w) { w.click("cmdAdd"), w.click("cmdDel"); }, {}},
        {"Return on a focused button presses it",
         [](Session& w) { w.press("cmdAdd", Qt::Key_Return); },
         {zorvPlug}},
        {"so do Enter and Space",
         [](Session& w) { w.press("cmdAdd", Qt::Key_Space), w.press("cmdDel", Qt::Key_Enter); },
         {}},
        {"delete on an empty list", [](Session& w) { w.click("cmdDel"); }, {}},
        {"fields pass exactly as typed, blanks and all",
         [](Session& w) {
             w.type("txtName", " Zo rv ");
             w.type("txtProd", "");
             w.type("txtFlag", " 0 ");
             w.type("txtPing", "-7");
             w.click("cmdAdd");
         },
         {"[ICON][/ICON][USER] Zo rv [/USER][PING]-7[/PING]"}},
    }));

struct Numbers {
    QString flags;
    QString ping;
    QString error; // empty: accepted
};

void PrintTo(const Numbers& n, std::ostream* out) {
    *out << n.flags.toStdString() << " / " << n.ping.toStdString();
}

QString flagsNeed() {
    return "Flags must be a whole number from -2147483648 to 2147483647.";
}

QString pingNeeds() {
    return "Ping must be a whole number from -2147483648 to 2147483647.";
}

class BadNumbers : public ::testing::TestWithParam<Numbers>, public Session {};

TEST_P(BadNumbers, AreReportedAndTheListIsKept) {
    const Numbers& c = GetParam();
    type("txtName", "Zorv");
    type("txtFlag", "0");
    type("txtPing", "1");
    click("cmdAdd");
    type("txtFlag", c.flags);
    type("txtPing", c.ping);
    click("cmdAdd");
    if (c.error.isEmpty()) {
        EXPECT_TRUE(errors.isEmpty());
        EXPECT_NE(rows(), QStringList{"[ICON]STAR[/ICON][USER]Zorv[/USER][PING]1[/PING]"});
    } else {
        EXPECT_EQ(errors, QStringList{c.error});
        EXPECT_EQ(rows(), QStringList{"[ICON]STAR[/ICON][USER]Zorv[/USER][PING]1[/PING]"});
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, BadNumbers,
                         ::testing::ValuesIn(std::vector<Numbers>{
                             {"abc", "47", flagsNeed()},
                             {"", "47", flagsNeed()},
                             {"16", "", pingNeeds()},
                             {"abc", "xyz", pingNeeds()}, // the ping is converted first
                             {"2147483648", "47", flagsNeed()},
                             {"16", "-2147483649", pingNeeds()},
                             {"1.5", "47", flagsNeed()},
                             {"0x10", "47", flagsNeed()},
                             {"1 6", "47", flagsNeed()},
                             {"-", "47", flagsNeed()},
                             {"\u0661\u0666", "47", flagsNeed()}, // digits of another script
                             {"16", "99999999999999999999", pingNeeds()},
                             {"1,000", "47", flagsNeed()}, // no group separators
                             {"+-1", "47", flagsNeed()},
                             {"1e3", "47", flagsNeed()},
                             {" 16 ", " 47 ", ""},
                             {"\u00A016\u00A0", "047", ""}, // no-break spaces, a leading zero
                             {"+16", "+47", ""},
                             {"-2147483648", "2147483647", ""},
                         }));

TEST(Clicks, AFailureOfAnyKindIsReported) {
    const struct {
        std::function<void()> work;
        QStringList reports;
    } cases[] = {
        {[] {}, {}},
        {[] { throw std::runtime_error("out of luck"); }, {"Deleting the member failed: out of luck"}},
        {[] { throw std::bad_alloc(); }, {"Deleting the member failed: std::bad_alloc"}},
        {[] { throw 7; }, {"Deleting the member failed."}},
    };
    for (const auto& c : cases) {
        QStringList reports;
        frmTavrinTest::runClick("Deleting the member", c.work,
                                [&](const QString& message) { reports << message; });
        EXPECT_EQ(reports, c.reports);
    }
}

TEST_F(Windows, AMebibyteNameOrStatusArrivesWhole) {
    const QString huge(1 << 20, u'n');
    type("txtName", huge);
    type("txtProd", huge);
    click("cmdAdd");
    click("cmdShowWeb");
    EXPECT_EQ(rows(), QStringList{"[ICON]nnnn[/ICON][USER]" + huge + "[/USER][PING]PLUG[/PING]"});
    type("txtName", huge.toUpper());
    click("cmdDel");
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(Windows, MembersAddedWhileHiddenAppearWhenShown) {
    click("cmdAdd");
    type("txtName", "Second");
    type("txtFlag", "0");
    click("cmdAdd");
    EXPECT_FALSE(listShown());
    click("cmdShowWeb");
    EXPECT_EQ(rows(), (QStringList{zorvPlug, "[ICON]STAR[/ICON][USER]Second[/USER][PING]47[/PING]"}));
}

TEST_F(Windows, ClosingTheListWindowThrowsItsMembersAway) {
    for (const char* how : {"cmdClose", "close box"}) {
        click("cmdAdd");
        click("cmdShowWeb");
        closeListWindowWith(how);
        EXPECT_EQ(listWindow.window(), nullptr) << how;
        click("cmdShowWeb");
        EXPECT_TRUE(listShown()) << how;
        EXPECT_TRUE(rows().isEmpty()) << how;
        closeListWindowWith(how);
        type("txtName", "Later");
        click("cmdAdd");
        click("cmdShowWeb");
        EXPECT_EQ(rows(), QStringList{"[ICON]STAR[/ICON][USER]Later[/USER][PING]PLUG[/PING]"}) << how;
        closeListWindowWith(how);
        type("txtName", "Zorv");
    }
}

TEST_F(Windows, ShowTwiceKeepsOneWindowAndItsMembers) {
    click("cmdAdd");
    click("cmdShowWeb");
    const auto* first = listWindow.window();
    click("cmdShowWeb");
    EXPECT_EQ(listWindow.window(), first);
    EXPECT_EQ(rows(), QStringList{zorvPlug});
    EXPECT_EQ(first->parentWidget(), nullptr) << "the list window has no owner";
}

// Runs the event loop as the program does, doing each step in turn, and
// tells which steps ran before the program ended by itself.
int stepsBeforeTheProgramEnded(const std::vector<std::function<void()>>& steps) {
    int done = 0;
    bool endedByItself = true;
    for (std::size_t index = 0; index < steps.size(); ++index) {
        QTimer::singleShot(static_cast<int>(50 * index), qApp, [&, index] {
            steps[index]();
            done = static_cast<int>(index) + 1;
        });
    }
    QTimer::singleShot(static_cast<int>(50 * steps.size() + 5000), qApp, [&] {
        endedByItself = false;
        QApplication::quit();
    });
    QApplication::exec();
    return endedByItself ? done : -1;
}

TEST_F(Windows, TheProgramEndsWithItsLastVisibleWindow) {
    testWindow.show();
    click("cmdAdd"); // a hidden list window must not keep the program alive
    EXPECT_EQ(stepsBeforeTheProgramEnded({[&] {
                  testWindow.close();
              }}),
              1);

    testWindow.show();
    click("cmdShowWeb");
    EXPECT_EQ(stepsBeforeTheProgramEnded({[&] { testWindow.close(); },
                                          [&] { EXPECT_TRUE(listShown()) << "still running"; },
                                          [&] {
                                              closeListWindowWith("cmdClose");
                                          }}),
              3);
}

TEST_F(Windows, FieldsCanBeToldApart) {
    QStringList names;
    for (const auto* edit : testWindow.findChildren<QLineEdit*>()) {
        names << edit->accessibleName() + "=" + edit->placeholderText();
    }
    EXPECT_EQ(names, (QStringList{"Name=Name", "Status=Status", "Flags=Flags", "Ping=Ping"}));
}

TEST_F(Windows, AMemberFloodPaintsTheListOnce) {
    click("cmdShowWeb");
    auto* viewport = listWindow.window()->findChild<QListView*>("lstChanSave")->viewport();
    settle();
    PaintCounter counter(*viewport);
    for (int index = 0; index < 5000; ++index) {
        listWindow.window()->TavrinAdd(QString("member%1").arg(index), "RATS", index % 7 == 0 ? 2 : 0, index);
    }
    // Let the view lay out and paint, however long that takes, then a little more.
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(rows().size(), 5000);
}

// A chat client changes one member per turn of its event loop; every frame
// that reaches the screen shows the list as it now is.
TEST_F(Windows, EveryFrameShowsTheMembersWhileTheyChange) {
    click("cmdShowWeb");
    frmTavrin& window = *listWindow.window();
    for (int index = 0; index < 300; ++index) {
        window.TavrinAdd(QString("member%1").arg(index), "RATS", 0, index);
    }
    QWidget& rows = *window.findChild<QListView*>("lstChanSave")->viewport();
    ASSERT_TRUE(QTest::qWaitFor([&] { return darkPixels(onScreen(rows)) > 0; }, 1000))
        << "the first full paint";
    QStringList blank;
    QStringList stale;
    for (int turn = 0; turn < 40; ++turn) {
        // Operators go to the top, into view; others leave from wherever they are.
        window.TavrinAdd(QString("member%1").arg(turn * 7), "RATS", turn % 2 == 0 ? 0x02 : 0, turn);
        QCoreApplication::processEvents();
        if (darkPixels(onScreen(rows)) == 0) {
            blank << QString::number(turn);
        } else if (screenIsStale(rows)) {
            stale << QString::number(turn);
        }
    }
    EXPECT_TRUE(blank.isEmpty()) << "blank after changes " << blank.join(", ").toStdString();
    EXPECT_TRUE(stale.isEmpty()) << "out of date after changes " << stale.join(", ").toStdString();
}

// The list window with 100 members, shown.
class ShownList : public Session {
protected:
    ShownList() {
        click("cmdShowWeb");
        for (int index = 0; index < 100; ++index) {
            listWindow.window()->TavrinAdd(QString("member%1").arg(index), "RATS", 0, index);
        }
        settle();
        view = listWindow.window()->findChild<QListView*>("lstChanSave");
        rowHeight = view->visualRect(view->model()->index(0, 0)).height();
        page = view->viewport()->height() / std::max(1, rowHeight);
    }

    QListView* view = nullptr;
    int rowHeight = 0;
    int page = 0;
};

struct Keys {
    std::vector<Qt::Key> keys;
    int row;   // where they lead, from the first row
    int pages; // and this many pages on
};

void PrintTo(const Keys& k, std::ostream* out) {
    *out << k.keys.size() << " keys, ending with " << k.keys.back();
}

class ListKeys : public ::testing::TestWithParam<Keys>, public ShownList {};

TEST_P(ListKeys, MoveTheCurrentMemberAndKeepItInView) {
    ASSERT_GT(rowHeight, 0);
    view->setCurrentIndex(view->model()->index(0, 0));
    for (const auto key : GetParam().keys) {
        QTest::keyClick(view, key);
    }
    EXPECT_EQ(view->currentIndex().row(), GetParam().row + GetParam().pages * page);
    EXPECT_TRUE(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));
}

INSTANTIATE_TEST_SUITE_P(Windows, ListKeys,
                         ::testing::ValuesIn(std::vector<Keys>{
                             {{Qt::Key_Down}, 1, 0},
                             {{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}, 3, 0},
                             {{Qt::Key_End}, 99, 0},
                             {{Qt::Key_End, Qt::Key_Down}, 99, 0},
                             {{Qt::Key_End, Qt::Key_Home, Qt::Key_Up}, 0, 0},
                             {{Qt::Key_PageDown}, 0, 1},
                             {{Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp}, 0, 1},
                             {{Qt::Key_End, Qt::Key_PageUp}, 99, -1},
                         }));

class ListWindowUse : public ::testing::Test, public ShownList {};

TEST_F(ListWindowUse, TypeAheadCopyAndClicksWorkAndNoStrayKeyClosesIt) {
    QTest::keyClicks(view, "member42"); // type-ahead finds the member by name
    EXPECT_EQ(view->currentIndex().row(), 42);
    QTest::keySequence(view, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), view->currentIndex().data().toString());
    QTest::keyClick(view, Qt::Key_Escape); // no stray key closes the list and loses it
    QTest::keyClick(view, Qt::Key_W, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(listShown());

    view->scrollTo(view->model()->index(40, 0), QAbstractItemView::PositionAtTop);
    const QRect row45 = view->visualRect(view->model()->index(45, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row45.center());
    EXPECT_EQ(view->currentIndex().row(), 45);
    EXPECT_EQ(view->indexAt(row45.topLeft()).row(), 45);
    EXPECT_TRUE(view->selectionModel()->isRowSelected(45, {}));
}

TEST_F(Windows, AScreenReaderHearsMembersInWords) {
    const struct {
        QString name;
        QString status;
        qint32 flags;
        qint32 ping;
        QString spoken;
    } members[] = {
        {"Zorv", "RATS", 0x02, 47, "Zorv, operator, ping 47"},
        {"Kestrel", "RATS", 0x10, 47, "Kestrel, STAR, no UDP"},
        {"Mirelle", "RATS", 0x20, 250, "Mirelle, squelched, ping 250"},
        {"Blue", "RATS", 0x01, -1, "Blue, Blizzard representative, no ping"},
        {"Admin", "RATS", 0x08, 0, "Admin, system operator, ping 0"},
        {"Loud", "RATS", 0x04, 1, "Loud, speaker, ping 1"},
        {"Visitor", "RATS", 0x40, 1, "Visitor, guest, ping 1"},
        {"Ref", "RATS", 0x100000, 1, "Ref, GF official, ping 1"},
        {"Pro", "RATS", 0x200010, 1, "Pro, GF player, no UDP"},
        {"", "", 0, 0, "unnamed member, ping 0"},
        {"a[/USER][PING]b", "3RAW", 0, 5, "a[/USER][PING]b, WAR3, ping 5"},
    };
    click("cmdShowWeb");
    for (const auto& member : members) {
        listWindow.window()->TavrinAdd(member.name, member.status, member.flags, member.ping);
    }
    auto* view = listWindow.window()->findChild<QListView*>("lstChanSave");
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), "Channel members");
    ASSERT_EQ(list->childCount(), static_cast<int>(std::size(members)));
    for (int row = 0; row < list->childCount(); ++row) {
        const auto& member = members[row]; // only the first is an operator, so the order is kept
        EXPECT_EQ(list->child(row)->text(QAccessible::Name), member.spoken);
        EXPECT_EQ(view->model()->index(row, 0).data(Qt::ToolTipRole).toString(), member.spoken);
        EXPECT_TRUE(view->model()->index(row, 0).data().toString().startsWith("[ICON]")) << "shows the entry";
    }
}

TEST_F(Windows, TheListWindowAnswersShowTheMenuAndReturn) {
    testWindow.show();
    testWindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&testWindow));
    click("cmdAdd");
    click("cmdShowWeb");
    frmTavrin& window = *listWindow.window();
    testWindow.activateWindow(); // the list window now lies behind
    ASSERT_TRUE(QTest::qWaitForWindowActive(&testWindow));
    click("cmdShowWeb");
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window)) << "Show makes the list window the active window";

    auto& list = *window.findChild<QListView*>("lstChanSave");
    QStringList offered;
    whenTheMenuShows([&](QMenu& menu) {
        for (const QAction* action : menu.actions()) {
            offered << action->text();
        }
    });
    const QPoint row = list.visualRect(list.model()->index(0, 0)).center();
    QContextMenuEvent request(QContextMenuEvent::Mouse, row, list.viewport()->mapToGlobal(row));
    QApplication::sendEvent(list.viewport(), &request);
    EXPECT_EQ(offered, (QStringList{"Entry text", "Members", "", "Order of arrival", "Rank, then name"}));

    auto& close = *window.findChild<QPushButton*>("cmdClose");
    close.setFocus();
    QTest::keyClick(&close, Qt::Key_Return);
    settle();
    EXPECT_EQ(listWindow.window(), nullptr) << "Return on the focused Close closes the window";
}

} // namespace
