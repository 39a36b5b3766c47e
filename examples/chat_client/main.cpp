// A chat client that docks the member panel beside its conversations, fed by
// a scripted channel: by default the busy channel built in, or the script
// file given on the command line.

#include "channel_replay.h"
#include "chat_window.h"

#include "tavrin_widgets/member_panel.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Chat client");

    const QString scriptPath =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(":/chat_client/busy_channel.txt");
    QFile script(scriptPath);
    if (!script.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCritical("Cannot read the channel script %s: %s", qPrintable(scriptPath),
                  qPrintable(script.errorString()));
        return 1;
    }
    ChannelReplay channel(QFileInfo(scriptPath).fileName(), QString::fromUtf8(script.readAll()).split('\n'));

    ChatWindow window;
    MemberPanel& members = window.members();
    QObject::connect(&channel, &ChannelReplay::channelJoined, &window, &ChatWindow::enterChannel);
    QObject::connect(&channel, &ChannelReplay::memberUpdated, &members, &MemberPanel::TavrinAdd);
    QObject::connect(&channel, &ChannelReplay::memberLeft, &members, &MemberPanel::TavrinDel);
    QObject::connect(&channel, &ChannelReplay::problem, &window, [&window](const QString& problem) {
        qWarning("%s", qPrintable(problem));
        window.tell(problem);
    });

    window.resize(900, 600);
    window.show();
    channel.start();
    return QApplication::exec();
}
