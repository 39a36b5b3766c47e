// Starts the program's windows headless, adds a few members as a user would,
// shows the list and saves a picture of each window into the given folder;
// then a picture of the members display, with a member of every keyword, and
// one of the example chat client in its busy channel.

#include "list_window_reference.h"
#include "start_window.h"
#include "user_input.h"

#if defined(TAVRIN_DRAWS_THE_CHAT_CLIENT)
#include "channel_replay.h"
#include "chat_window.h"

#include <QTabWidget>
#endif

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdio>

namespace {

void type(QWidget& window, const char* field, const QString& text) {
    typeInto(*window.findChild<QLineEdit*>(field), text);
}

void click(QWidget& window, const char* button) {
    clickOn(*window.findChild<QPushButton*>(button));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("TavrinTest");
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    ListWindowReference listWindow;
    frmTavrinTest testWindow(
        listWindow, [](const QString& message) { std::fprintf(stderr, "%s\n", qPrintable(message)); });
    testWindow.show();

    const struct {
        const char* name;
        const char* status;
        const char* flags;
        const char* ping;
    } members[] = {
        {"Zorv", "RATS", "16", "47"},     {"Kestrel", "PX3W", "0", "112"}, {"Druvo", "PXES", "0", "31"},
        {"Mirelle", "2RAW", "32", "250"}, {"Halbrand", "RATS", "2", "64"},
    };
    for (const auto& member : members) {
        type(testWindow, "txtName", member.name);
        type(testWindow, "txtProd", member.status);
        type(testWindow, "txtFlag", member.flags);
        type(testWindow, "txtPing", member.ping);
        click(testWindow, "cmdAdd");
    }
    click(testWindow, "cmdShowWeb");
    QTest::qWait(100);

    bool saved = testWindow.grab().save(folder.filePath("test-window.png")) &&
                 listWindow.window()->grab().save(folder.filePath("list-window.png"));

    // The members display, with a member of every keyword and a spread of pings.
    listWindow.window()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const struct {
        const char* name;
        const char* status;
        qint32 flags;
        qint32 ping;
    } everyKeyword[] = {
        {"Halbrand", "RATS", 0x02, 64},     {"Ysolde", "RATS", 0x01, 18},
        {"Admin", "RATS", 0x08, 140},       {"Orator", "PXES", 0x04, 230},
        {"Visitor", "3RAW", 0x40, 350},     {"Mirelle", "2RAW", 0x20, 450},
        {"Referee", "RATS", 0x100000, 900}, {"Challenger", "PX3W", 0x200000, -1},
        {"Zorv", "RATS", 0x10, 47},         {"Kestrel", "VD2D", 0, 112},
    };
    frmTavrin& membersWindow = listWindow.ensureExists();
    membersWindow.setDisplayMode(frmTavrin::DisplayMode::Members);
    for (const auto& member : everyKeyword) {
        membersWindow.TavrinAdd(member.name, member.status, member.flags, member.ping);
    }
    membersWindow.show();
    QTest::qWait(100);
    saved = saved && membersWindow.grab().save(folder.filePath("members-window.png"));

#if defined(TAVRIN_DRAWS_THE_CHAT_CLIENT)
    // The channel filled and grouped by rank, a private conversation open, and
    // the channel's tab in front with a name completed in its line.
    QString problem;
    const auto channel = ChannelReplay::fromFile(busyChannelScript, &problem);
    if (!channel) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    ChatWindow chat;
    chat.follow(*channel);
    chat.resize(760, 480);
    chat.show();
    channel->playUntilWait();
    chat.openConversation("Halbrand");
    chat.findChild<QTabWidget*>()->setCurrentIndex(0);
    chat.tell("<Halbrand> welcome, everyone.");
    // A name completed with Tab in the line under the conversation.
    auto* say = chat.findChild<QLineEdit*>("txtSay");
    say->setFocus();
    QTest::keyClicks(say, "Hal");
    QTest::keyClick(say, Qt::Key_Tab);
    QTest::keyClicks(say, "thanks");
    QTest::qWait(100);
    saved = saved && chat.grab().save(folder.filePath("chat-client.png"));
#endif
    if (!saved) {
        std::fprintf(stderr, "could not write the pictures into %s\n", qPrintable(folder.absolutePath()));
        return 1;
    }
    return 0;
}
