// Tab in a chat client's input line completes members' names: recent speakers
// first, then by rank and name, the client's own name last; the names are
// those listed when Tab is pressed.

#include "tavrin_widgets/member_completer.h"
#include "tavrin_widgets/member_panel.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(MemberCompleter, TabOffersNamesInTurnAndAnyOtherKeyTakesOne) {
    MemberPanel members;
    for (const auto& [name, Flags] :
         {std::pair{"bob", 0}, {"alice", 0}, {"Aro", 0x02}, {"Amy", 0}, {"alan", 0}}) {
        members.TavrinAdd(name, "RATS", Flags, 1);
    }
    QWidget window; // where Tab would otherwise go on to the next field
    QLineEdit& input = *new QLineEdit(&window);
    new QLineEdit(&window);
    MemberCompleter completer(&members, &input);
    completer.setOwnName("ALAN");
    completer.noteSpoke("amy");
    completer.noteSpoke("alan");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    input.setFocus();
    EXPECT_EQ(completer.completions("a"), (QStringList{"Amy", "Aro", "alice", "alan"}));

    const auto type = [&](const QString& text) {
        return [&input, text] {
            QTest::keyClicks(&input, text);
        };
    };
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        return [&input, key, modifiers] {
            QTest::keyClick(&input, key, modifiers);
        };
    };
    const struct {
        const char* what;
        std::function<void()> act;
        QString line;
    } steps[] = {
        {"a word typed", type("hi a"), "hi a"},
        {"Tab offers the recent speaker", press(Qt::Key_Tab), "hi Amy "},
        {"then by rank", press(Qt::Key_Tab), "hi Aro "},
        {"then by name", press(Qt::Key_Tab), "hi alice "},
        {"the client's own name last", press(Qt::Key_Tab), "hi alan "},
        {"then round again", press(Qt::Key_Tab), "hi Amy "},
        {"Shift+Tab goes back", press(Qt::Key_Backtab, Qt::ShiftModifier), "hi alan "},
        {"a modifier alone keeps the round", press(Qt::Key_Shift), "hi alan "},
        {"any other key takes the name", type("x"), "hi alan x"},
        {"a new line", [&] { input.clear(); }, ""},
        {"at the start of the line a colon follows",
         [&] {
             type("a")();
             press(Qt::Key_Tab)();
         },
         "Amy: "},
        {"the one offered leaves: Tab offers the one now in their place",
         [&] {
             members.TavrinDel("Amy");
             press(Qt::Key_Tab)();
         },
         "Aro: "},
        {"one who leaves between Tabs is passed over",
         [&] {
             members.TavrinDel("Aro");
             press(Qt::Key_Tab)();
         },
         "alice: "},
        {"one listed again in another case is offered in it",
         [&] {
             members.TavrinDel("alan");
             members.TavrinAdd("Alan", "RATS", 0, 1);
             press(Qt::Key_Tab)();
         },
         "Alan: "},
        {"no name to offer leaves the line",
         [&] {
             input.clear();
             type("q")();
             press(Qt::Key_Tab)();
         },
         "q"},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(input.text(), step.line) << step.what;
    }
    EXPECT_TRUE(input.hasFocus()) << "Tab keeps the focus in the line";
    members.TavrinDel("Amy");
    members.TavrinAdd("Amy", "RATS", 0, 1);
    EXPECT_EQ(completer.completions("A"), (QStringList{"alice", "Amy", "Alan"}))
        << "a member who left lost the mark";
    completer.noteSpoke("alice");
    completer.noteSpoke("Amy");
    EXPECT_EQ(completer.completions("A"), (QStringList{"Amy", "alice", "Alan"}))
        << "the latest speaker first";
}

// A text field of any kind, such as a QML one, completes a text and a cursor
// from the model alone.
TEST(MemberCompleter, CompletesATextAndCursorFromTheModelAlone) {
    ChanSaveListModel model;
    for (const char* name : {"Amy", "Aro", "bob"}) {
        model.TavrinAdd(name, "RATS", 0, 1);
    }
    MemberCompleter completer(&model, nullptr);
    QString text = "hi a there";
    int cursor = 4;
    const struct {
        const char* what;
        bool backwards;
        QString text;
        int cursorMoved = 0; // before the Tab
    } steps[] = {
        {"the word before the cursor", false, "hi Amy  there"},
        {"the next name", false, "hi Aro  there"},
        {"back again", true, "hi Amy  there"},
        {"the cursor moved: afresh, from the word before it", false, "hi Amy   there", -1},
    };
    for (const auto& step : steps) {
        cursor += step.cursorMoved;
        const MemberCompleter::Completion completion = completer.complete(text, cursor, step.backwards);
        if (completion.isValid()) {
            text.replace(completion.start, completion.length, completion.replacement);
            cursor = completion.start + static_cast<int>(completion.replacement.size());
        }
        EXPECT_EQ(text, step.text) << step.what;
    }
}

} // namespace
