#pragma once

#include <QMainWindow>

class ChannelReplay;
class MemberPanel;
class QDockWidget;
class QPlainTextEdit;
class QTabWidget;

// A chat client's main window: the conversations in tabs, the channel's first,
// and the channel's members in a dock beside them.
class ChatWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit ChatWindow(QWidget* parent = nullptr);

    MemberPanel& members() { return *members_; }

    // Follows what the channel says: who joins, changes and leaves, a new
    // channel, and lines the script got wrong.
    void follow(ChannelReplay& channel);

    // The client is now in this channel: its members are listed afresh.
    void enterChannel(const QString& channel);
    // A line in the channel's conversation, from the client itself.
    void tell(const QString& text);
    // A private conversation with the member, in a tab of its own.
    void openConversation(const QString& username);

private:
    QTabWidget* conversations_;
    QPlainTextEdit* channelLog_;
    QDockWidget* membersDock_;
    MemberPanel* members_;
};
