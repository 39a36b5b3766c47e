#pragma once

#include "tavrin_widgets/member_panel.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

// One line of a channel script, read.
struct ScriptLine {
    enum class Kind { nothing, channel, join, flags, leave, say, wait, bad };
    Kind kind = Kind::nothing;
    QString name; // of the channel or the member
    QString status;
    QString text; // what a member says
    qint32 flags = 0;
    qint32 ping = 0;
    int milliseconds = 0;
    QString problem; // what is wrong with a bad line
};

// Blank lines and lines that begin with '#' are nothing.
ScriptLine readScriptLine(const QString& line);

// The built-in script: a channel of 2,000 members who keep coming and going
// and talk, and a quieter channel beside it.
inline const QString busyChannelScript = QStringLiteral(":/chat_client/busy_channel.txt");

// Plays a scripted channel on a timer, as a chat server would send it:
//
//   channel <name>                         the client joins this channel, and
//                                          the lines below are about it
//   join <name> <status> <flags> <ping>    a member joins
//   flags <name> <flags> <ping>            a member's flags and ping change
//   leave <name>                           a member leaves
//   say <name> <text>                      a member says something
//   wait <milliseconds>                    nothing happens for a while
//
// The joins right after a channel line are the channel's members as the
// client finds them on joining, and arrive all at once. Fields are separated
// by blanks; a channel's name, and what is said, is the rest of its line;
// flags may be written in hex, as 0x12. A bad line is reported with its
// number, and the replay goes on. At the end of the script it starts over.
class ChannelReplay : public QObject {
    Q_OBJECT

public:
    ChannelReplay(QString scriptName, QStringList lines, QObject* parent = nullptr);
    // Reads the script from a file, or says why it cannot.
    static std::unique_ptr<ChannelReplay> fromFile(const QString& path, QString* problem);

    void start();
    // Plays the lines up to the next wait at once.
    void playUntilWait();

signals:
    // The client joined the channel and found these members there.
    void channelJoined(const QString& channel, const QList<MemberPanel::Member>& members);
    // A member joined, or their flags or ping changed.
    void memberUpdated(const QString& username, const QString& status, qint32 flags, qint32 ping);
    void memberLeft(const QString& username);
    void memberSaid(const QString& username, const QString& text);
    void problem(const QString& message);

private:
    // Plays at most this many lines, up to the next wait, and sets the timer
    // for the line after.
    void playLines(int most);
    // Returns how long to wait before the next line, or -1 to go straight on.
    int play(const ScriptLine& line);
    // The members listed on joining: the joins that follow.
    QList<MemberPanel::Member> membersFound();
    void report(const QString& problem);

    QString scriptName_;
    QStringList lines_;
    qsizetype next_ = 0;
    QTimer timer_;
    QHash<QString, QString> statuses_; // by the member's case-folded name
};
