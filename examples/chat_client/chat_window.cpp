#include "chat_window.h"

#include "channel_replay.h"
#include "tavrin_widgets/member_panel.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QPlainTextEdit* newLog(QWidget* parent) {
    auto* log = new QPlainTextEdit(parent);
    log->setReadOnly(true);
    log->setMaximumBlockCount(1000);
    return log;
}

} // namespace

ChatWindow::ChatWindow(QWidget* parent)
    : QMainWindow(parent), conversations_(new QTabWidget(this)), channelLog_(newLog(conversations_)),
      membersDock_(new QDockWidget(tr("Members"), this)), members_(new MemberPanel(membersDock_)) {
    setWindowTitle(tr("Chat client"));
    conversations_->setDocumentMode(true);
    conversations_->setTabsClosable(true);
    conversations_->addTab(channelLog_, tr("Channel"));
    conversations_->tabBar()->setTabButton(0, QTabBar::RightSide, nullptr); // the channel's tab stays
    connect(conversations_, &QTabWidget::tabCloseRequested, this, [this](int tab) {
        conversations_->widget(tab)->deleteLater();
        conversations_->removeTab(tab);
    });
    setCentralWidget(conversations_);

    members_->setDisplayMode(MemberPanel::DisplayMode::Members);
    membersDock_->setObjectName("membersDock");
    membersDock_->setWidget(members_);
    addDockWidget(Qt::RightDockWidgetArea, membersDock_);

    connect(members_, &MemberPanel::memberActivated, this, &ChatWindow::openConversation);
    connect(members_, &MemberPanel::memberMenuRequested, this, [this](const QString& username, QMenu* menu) {
        if (!username.isEmpty()) {
            menu->addAction(tr("Whisper"), this, [this, username] { openConversation(username); });
        }
    });
}

void ChatWindow::follow(ChannelReplay& channel) {
    connect(&channel, &ChannelReplay::channelJoined, this, &ChatWindow::enterChannel);
    connect(&channel, &ChannelReplay::memberUpdated, members_, &MemberPanel::TavrinAdd);
    connect(&channel, &ChannelReplay::memberLeft, members_, &MemberPanel::TavrinDel);
    connect(&channel, &ChannelReplay::problem, this, [this](const QString& problem) {
        qWarning("%s", qPrintable(problem));
        tell(problem);
    });
}

void ChatWindow::enterChannel(const QString& channel) {
    members_->clear();
    conversations_->setTabText(0, channel);
    membersDock_->setWindowTitle(tr("Members of %1").arg(channel));
    tell(tr("You are now in %1.").arg(channel));
}

void ChatWindow::tell(const QString& text) {
    channelLog_->appendPlainText(text);
}

void ChatWindow::openConversation(const QString& username) {
    for (int tab = 1; tab < conversations_->count(); ++tab) {
        if (conversations_->widget(tab)->objectName() == username) {
            conversations_->setCurrentIndex(tab);
            return;
        }
    }
    auto* conversation = new QWidget(conversations_);
    conversation->setObjectName(username);
    auto* layout = new QVBoxLayout(conversation);
    QPlainTextEdit* log = newLog(conversation);
    log->appendPlainText(tr("Private conversation with %1").arg(username));
    auto* message = new QLineEdit(conversation);
    message->setPlaceholderText(tr("Whisper to %1").arg(username));
    connect(message, &QLineEdit::returnPressed, conversation, [log, message] {
        log->appendPlainText(tr("You: %1").arg(message->text()));
        message->clear();
    });
    layout->addWidget(log);
    layout->addWidget(message);
    conversations_->setCurrentIndex(conversations_->addTab(conversation, username));
    message->setFocus();
}
