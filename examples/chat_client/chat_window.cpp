#include "chat_window.h"

#include "channel_replay.h"
#include "tavrin_widgets/member_completer.h"
#include "tavrin_widgets/member_panel.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
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
    : QMainWindow(parent), conversations_(new QTabWidget(this)),
      membersDock_(new QDockWidget(tr("Members"), this)), memberLists_(new QStackedWidget(membersDock_)) {
    setWindowTitle(tr("Chat client"));
    conversations_->setDocumentMode(true);
    conversations_->setTabsClosable(true);
    connect(conversations_, &QTabWidget::tabCloseRequested, this, [this](int tab) {
        conversations_->widget(tab)->deleteLater();
        conversations_->removeTab(tab);
    });
    // The dock shows the members of the channel in front.
    connect(conversations_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (const Channel* channel = channelShowing(conversations_->widget(tab))) {
            memberLists_->setCurrentWidget(channel->members);
            membersDock_->setWindowTitle(tr("Members of %1").arg(channel->name));
        }
    });
    setCentralWidget(conversations_);

    membersDock_->setObjectName("membersDock");
    membersDock_->setWidget(memberLists_);
    addDockWidget(Qt::RightDockWidgetArea, membersDock_);
}

ChatWindow::~ChatWindow() = default;

MemberPanel& ChatWindow::members() {
    return *static_cast<MemberPanel*>(memberLists_->currentWidget());
}

ChatWindow::Channel* ChatWindow::channelShowing(const QWidget* page) {
    for (Channel& channel : channels_) {
        if (channel.page == page) {
            return &channel;
        }
    }
    return nullptr;
}

// A tab with the channel's conversation and the line to write in, and a
// member panel in the dock's stack.
ChatWindow::Channel& ChatWindow::addChannel(const QString& name) {
    auto* page = new QWidget(conversations_);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    Channel channel{name, page, newLog(page), new QLineEdit(page), new MemberPanel(memberLists_), nullptr};
    layout->addWidget(channel.log);
    layout->addWidget(channel.input);
    channel.input->setObjectName("txtSay");
    channel.input->setPlaceholderText(tr("Say something in %1; Tab completes names").arg(name));
    channel.completer = new MemberCompleter(channel.members, channel.input, page);
    channel.completer->setOwnName(ownName);
    connect(channel.input, &QLineEdit::returnPressed, page,
            [log = channel.log, input = channel.input, completer = channel.completer] {
                if (!input->text().isEmpty()) {
                    log->appendPlainText(QStringLiteral("<%1> %2").arg(ownName, input->text()));
                    completer->noteSpoke(ownName);
                    input->clear();
                }
            });

    MemberPanel* members = channel.members;
    members->setObjectName(name);
    members->setDisplayMode(MemberPanel::DisplayMode::Members);
    members->setShownOrder(tavrin::ShownOrder::rankThenName);
    memberLists_->addWidget(members);
    connect(members, &MemberPanel::memberActivated, this, &ChatWindow::openConversation);
    connect(members, &MemberPanel::memberMenuRequested, this, [this](const QString& username, QMenu* menu) {
        if (!username.isEmpty()) {
            menu->addAction(tr("Whisper"), this, [this, username] { openConversation(username); });
        }
    });

    // Channels come before the private conversations, the channel's tab stays.
    const int tab = conversations_->insertTab(static_cast<int>(channels_.size()), page, name);
    conversations_->tabBar()->setTabButton(tab, QTabBar::RightSide, nullptr);
    channels_.push_back(channel);
    return channels_.back();
}

void ChatWindow::follow(ChannelReplay& channel) {
    connect(&channel, &ChannelReplay::channelJoined, this, &ChatWindow::enterChannel);
    const auto scripted = [this] {
        return scriptChannel_ >= 0 ? channels_[static_cast<std::size_t>(scriptChannel_)].members : nullptr;
    };
    connect(&channel, &ChannelReplay::memberUpdated, this,
            [scripted](const QString& username, const QString& status, qint32 flags, qint32 ping) {
                if (MemberPanel* members = scripted()) {
                    members->TavrinAdd(username, status, flags, ping);
                }
            });
    connect(&channel, &ChannelReplay::memberLeft, this, [scripted](const QString& username) {
        if (MemberPanel* members = scripted()) {
            members->TavrinDel(username);
        }
    });
    connect(&channel, &ChannelReplay::memberSaid, this, [this](const QString& username, const QString& text) {
        if (scriptChannel_ >= 0) {
            const Channel& in = channels_[static_cast<std::size_t>(scriptChannel_)];
            in.log->appendPlainText(QStringLiteral("<%1> %2").arg(username, text));
            in.completer->noteSpoke(username);
        }
    });
    connect(&channel, &ChannelReplay::problem, this, [this](const QString& problem) {
        qWarning("%s", qPrintable(problem));
        tell(problem);
    });
}

void ChatWindow::enterChannel(const QString& name, const QList<MemberPanel::Member>& members) {
    auto found =
        std::find_if(channels_.begin(), channels_.end(), [&](const Channel& c) { return c.name == name; });
    Channel& channel = found != channels_.end() ? *found : addChannel(name);
    scriptChannel_ = static_cast<int>(&channel - channels_.data());
    // The whole list arrives at once, and the client is on it.
    QList<MemberPanel::Member> listed = members;
    listed.append({ownName, QStringLiteral("RATS"), 0, 20});
    channel.members->clear();
    channel.members->addMembers(listed);
    if (memberLists_->count() == 1) {
        memberLists_->setCurrentWidget(channel.members);
        membersDock_->setWindowTitle(tr("Members of %1").arg(name));
    }
    tell(tr("You are now in %1.").arg(name));
}

void ChatWindow::tell(const QString& text) {
    if (!channels_.empty()) {
        channels_[static_cast<std::size_t>(std::max(scriptChannel_, 0))].log->appendPlainText(text);
    }
}

void ChatWindow::openConversation(const QString& username) {
    for (int tab = static_cast<int>(channels_.size()); tab < conversations_->count(); ++tab) {
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
