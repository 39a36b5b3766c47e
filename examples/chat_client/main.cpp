// A chat client that docks the member panel beside its conversations, fed by
// a scripted channel: by default the busy channel built in, or the script
// file given on the command line.

#include "channel_replay.h"
#include "chat_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Chat client");

    QString problem;
    const auto channel =
        ChannelReplay::fromFile(argc > 1 ? QString::fromLocal8Bit(argv[1]) : busyChannelScript, &problem);
    if (!channel) {
        qCritical("%s", qPrintable(problem));
        return 1;
    }
    ChatWindow window;
    window.follow(*channel);
    window.resize(900, 600);
    window.show();
    channel->start();
    return QApplication::exec();
}
