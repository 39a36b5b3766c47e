#pragma once

#include "tavrin_widgets/member_panel.h"

#include <QMainWindow>

#include <vector>

class ChannelReplay;
class MemberCompleter;
class QDockWidget;
class QLineEdit;
class QPlainTextEdit;
class QStackedWidget;
class QTabWidget;

// A chat client's main window: the conversations in tabs, one for each channel
// the client is in and one for each private conversation; under a channel's
// conversation, the line the user writes in, where Tab completes members'
// names. Beside them, in a dock, the members of the channel in front: each
// channel has a panel of its own, kept in a stack, so switching channel keeps
// each list where it was scrolled, its current member and its search.
class ChatWindow : public QMainWindow {
    Q_OBJECT

public:
    // The user's name in every channel.
    static inline const QString ownName = QStringLiteral("you");

    explicit ChatWindow(QWidget* parent = nullptr);
    ~ChatWindow() override;

    // The members of the channel in front, or of the last one joined.
    MemberPanel& members();

    // Follows what the channels say: who joins, changes, speaks and leaves, a
    // channel joined, and lines the script got wrong.
    void follow(ChannelReplay& channel);

    // The client is now in this channel and found these members there; a
    // channel it is already in is listed afresh.
    void enterChannel(const QString& name, const QList<MemberPanel::Member>& members);
    // A line in the conversation of the channel the script speaks of, from
    // the client itself.
    void tell(const QString& text);
    // A private conversation with the member, in a tab of its own.
    void openConversation(const QString& username);

private:
    struct Channel {
        QString name;
        QWidget* page;
        QPlainTextEdit* log;
        QLineEdit* input;
        MemberPanel* members;
        MemberCompleter* completer;
    };

    Channel& addChannel(const QString& name);
    Channel* channelShowing(const QWidget* page);

    QTabWidget* conversations_;
    QDockWidget* membersDock_;
    QStackedWidget* memberLists_;
    std::vector<Channel> channels_;
    int scriptChannel_ = -1; // the channel the script's lines are about
};
