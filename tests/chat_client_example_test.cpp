// The example chat client's scripted channel: every command read, and a bad
// line reported by its number while the replay goes on.

#include "channel_replay.h"
#include "chat_window.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(ChannelScript, ReadsEveryCommandAndNamesWhatIsWrong) {
    using Kind = ScriptLine::Kind;
    const struct {
        QString line;
        Kind kind;
        QString name;
        qint32 flags;
        qint32 ping;
        QString problem;
    } cases[] = {
        {"join Zorv RATS 0x10 47", Kind::join, "Zorv", 0x10, 47, ""},
        {"  join  Zorv RATS 16 -1 ", Kind::join, "Zorv", 16, -1, ""},
        {"flags Zorv 0xFFFFFFFF 0", Kind::flags, "Zorv", -1, 0, ""},
        {"leave zorv", Kind::leave, "zorv", 0, 0, ""},
        {"channel Clan Tavrin ", Kind::channel, "Clan Tavrin", 0, 0, ""},
        {"say Zorv  hello  there", Kind::say, "Zorv", 0, 0, ""},
        {"say Zorv", Kind::bad, "", 0, 0, "expected \"say <name> <text>\""},
        {"# a comment", Kind::nothing, "", 0, 0, ""},
        {"", Kind::nothing, "", 0, 0, ""},
        {"jion Zorv RATS 0 47", Kind::bad, "", 0, 0, "unknown command \"jion\""},
        {"join Zorv RATS 0", Kind::bad, "", 0, 0, "expected \"join <name> <status> <flags> <ping>\""},
        {"join Zorv RATS x 47", Kind::bad, "", 0, 0, "flags \"x\" are not a number"},
        {"flags Zorv 0 0x2F", Kind::bad, "", 0, 0, "ping \"0x2F\" is not a number"},
        {"wait -5", Kind::bad, "", 0, 0, "\"-5\" is not a number of milliseconds"},
        {"channel", Kind::bad, "", 0, 0, "expected \"channel <name>\""},
        {"join Zorv RATS 0 47 more", Kind::bad, "", 0, 0, "expected \"join <name> <status> <flags> <ping>\""},
        {"flags Zorv 0 47 more", Kind::bad, "", 0, 0, "expected \"flags <name> <flags> <ping>\""},
        {"leave Zorv more", Kind::bad, "", 0, 0, "expected \"leave <name>\""},
        {"wait 10 more", Kind::bad, "", 0, 0, "expected \"wait <milliseconds>\""},
    };
    for (const auto& c : cases) {
        const ScriptLine read = readScriptLine(c.line);
        EXPECT_EQ(read.kind, c.kind) << c.line.toStdString();
        EXPECT_EQ(read.problem, c.problem) << c.line.toStdString();
        if (c.kind != Kind::bad) {
            EXPECT_EQ(read.name, c.name) << c.line.toStdString();
            EXPECT_EQ(read.flags, c.flags) << c.line.toStdString();
            EXPECT_EQ(read.ping, c.ping) << c.line.toStdString();
        }
    }
}

TEST(ChannelScript, ABadLineIsReportedAndTheReplayGoesOn) {
    ChannelReplay replay("test.txt", {"channel Here", "join Zorv RATS 16 47", "", "join Kestrel VD2D 0 9",
                                      "jion Kestrel", "flags nobody 0 1", "flags ZORV 2 50",
                                      "say Zorv hi all", "leave Zorv", "wait 10", "join Later RATS 0 1"});
    QSignalSpy channels(&replay, &ChannelReplay::channelJoined);
    QSignalSpy updates(&replay, &ChannelReplay::memberUpdated);
    QSignalSpy leaves(&replay, &ChannelReplay::memberLeft);
    QSignalSpy said(&replay, &ChannelReplay::memberSaid);
    QSignalSpy problems(&replay, &ChannelReplay::problem);
    replay.playUntilWait();
    ASSERT_EQ(channels.count(), 1);
    const auto found = channels[0][1].value<QList<MemberPanel::Member>>();
    ASSERT_EQ(found.size(), 2) << "the joins after the channel line arrive at once";
    EXPECT_EQ(found[1].username, "Kestrel");
    ASSERT_EQ(updates.count(), 1);
    EXPECT_EQ(updates[0], (QVariantList{"ZORV", "RATS", 2, 50})) << "a flags line keeps the member's status";
    EXPECT_EQ(said.value(0), (QVariantList{"Zorv", "hi all"}));
    EXPECT_EQ(leaves.count(), 1);
    ASSERT_EQ(problems.count(), 2);
    EXPECT_EQ(problems[0][0].toString(), "test.txt, line 5: unknown command \"jion\"");
    EXPECT_EQ(problems[1][0].toString(), "test.txt, line 6: nobody is not in the channel");
    replay.playUntilWait();
    replay.playUntilWait();
    EXPECT_EQ(updates.count(), 3) << "after its last line, the script starts over";
    EXPECT_EQ(channels.count(), 2);
}

// Each channel keeps its own panel, with its search, and its own line to write in.
TEST(ChatWindow, EachChannelKeepsItsListAndTheUserWritesUnderItsConversation) {
    ChatWindow window;
    window.enterChannel("Clan Tavrin", {{"Zorv", "RATS", 0x02, 47}, {"Kestrel", "VD2D", 0, 112}});
    auto& clan = window.members();
    clan.findChild<QLineEdit*>("txtFind")->setText("zo");
    window.enterChannel("Tavrin Lounge", {{"Mirelle", "2RAW", 0, 450}});
    auto& tabs = *window.findChild<QTabWidget*>();
    tabs.setCurrentIndex(1);
    EXPECT_EQ(window.members().count(), 2) << "the lounge, and the user";
    tabs.setCurrentIndex(0);
    EXPECT_EQ(&window.members(), &clan);
    EXPECT_EQ(clan.model().shownCount(), 1) << "the search stays";

    auto& say = *tabs.widget(0)->findChild<QLineEdit*>("txtSay");
    QTest::keyClicks(&say, "hi K");
    QTest::keyClick(&say, Qt::Key_Tab);
    QTest::keyClick(&say, Qt::Key_Return);
    EXPECT_TRUE(tabs.widget(0)->findChild<QPlainTextEdit*>()->toPlainText().endsWith("<you> hi Kestrel "));
}

// The server's channel as the window follows it: the channel's speakers come
// first in its line, and a channel joined again is listed afresh.
TEST(ChatWindow, OffersTheChannelsSpeakersFirstAndListsARejoinAfresh) {
    ChatWindow window;
    ChannelReplay replay(
        "test.txt", {"channel Here", "join Zed RATS 0 5", "join Zorv RATS 0 47", "say Zorv hi", "wait 10"});
    window.follow(replay);
    replay.playUntilWait();
    auto& say = *window.findChild<QTabWidget*>()->widget(0)->findChild<QLineEdit*>("txtSay");
    QTest::keyClicks(&say, "Z");
    QTest::keyClick(&say, Qt::Key_Tab);
    EXPECT_EQ(say.text(), "Zorv: ") << "the latest speaker before Zed";
    window.enterChannel("Here", {{"Zed", "RATS", 0, 5}});
    EXPECT_EQ(window.members().count(), 2) << "Zed and the user: Zorv left while the user was away";
}

} // namespace
