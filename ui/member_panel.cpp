#include "tavrin_widgets/member_panel.h"

#include "channel_list/tavrin.h"
#include "members_delegate.h"
#include "tavrin_widgets/chan_save_list_model.h"
#include "tavrin_widgets/member_in_words.h"
#include "uniform_row_list_view.h"
#include "utf16_text.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

MemberPanel::MemberPanel(QWidget* parent)
    : QWidget(parent), model_(new ChanSaveListModel(this)), lstChanSave(new UniformRowListView(this)),
      lblMemberCount(new QLabel(this)), membersDelegate_(new MembersDelegate(this)),
      displays_(new QActionGroup(this)) {
    entryTextDelegate_ = lstChanSave->itemDelegate();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    lblMemberCount->setObjectName("lblMemberCount");
    lblMemberCount->setContentsMargins(3, 2, 3, 2);
    layout->addWidget(lblMemberCount);
    layout->addWidget(lstChanSave, 1);
    setFocusProxy(lstChanSave);

    lstChanSave->setObjectName("lstChanSave");
    lstChanSave->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstChanSave->setAccessibleName(tr("Channel members"));
    lstChanSave->setModel(model_);
    // Typing a member's first letters finds the member, not "[ICON]".
    lstChanSave->setKeyboardSearchRole(ChanSaveListModel::NameRole);
    connect(lstChanSave, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        emit memberActivated(index.data(ChanSaveListModel::NameRole).toString());
    });

    // The list's context menu switches the display, below what the client adds.
    for (const auto& [mode, caption] : {std::pair{DisplayMode::EntryText, tr("Entry text")},
                                        std::pair{DisplayMode::Members, tr("Members")}}) {
        QAction* action = displays_->addAction(caption);
        action->setCheckable(true);
        action->setChecked(mode == displayMode_);
        connect(action, &QAction::triggered, this, [this, mode = mode] { setDisplayMode(mode); });
        connect(this, &MemberPanel::displayModeChanged, action,
                [action, mode = mode](DisplayMode shown) { action->setChecked(shown == mode); });
    }
    lstChanSave->addActions(displays_->actions());
    lstChanSave->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstChanSave, &QWidget::customContextMenuRequested, this, &MemberPanel::showMemberMenu);

    sayHowManyAreHere();
}

void MemberPanel::TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping) {
    tavrin::TavrinAdd(model_->list(), utf16(username), utf16(Message), Flags, Ping);
    countMayHaveChanged();
}

void MemberPanel::TavrinDel(const QString& username) {
    tavrin::TavrinDel(model_->list(), utf16(username));
    countMayHaveChanged();
}

void MemberPanel::clear() {
    model_->list().clear();
    countMayHaveChanged();
}

int MemberPanel::count() const {
    return model_->list().count();
}

bool MemberPanel::contains(const QString& username) const {
    return model_->list().find(utf16(username)).has_value();
}

void MemberPanel::setDisplayMode(DisplayMode mode) {
    if (mode == displayMode_) {
        return;
    }
    displayMode_ = mode;
    lstChanSave->setItemDelegate(mode == DisplayMode::Members ? membersDelegate_ : entryTextDelegate_);
    emit displayModeChanged(mode);
}

bool MemberPanel::isHeaderVisible() const {
    return !lblMemberCount->isHidden();
}

void MemberPanel::setHeaderVisible(bool visible) {
    lblMemberCount->setVisible(visible);
}

void MemberPanel::showMemberMenu(const QPoint& position) {
    QMenu menu(this);
    emit memberMenuRequested(lstChanSave->indexAt(position).data(ChanSaveListModel::NameRole).toString(),
                             &menu);
    if (!menu.isEmpty()) {
        menu.addSeparator();
    }
    menu.addActions(displays_->actions());
    menu.exec(lstChanSave->viewport()->mapToGlobal(position));
}

void MemberPanel::countMayHaveChanged() {
    const int members = count();
    if (members == shownCount_ && model_->operatorCount() == shownOperators_) {
        return;
    }
    const bool countChanges = members != shownCount_;
    sayHowManyAreHere();
    if (countChanges) {
        emit countChanged(members);
    }
}

void MemberPanel::sayHowManyAreHere() {
    shownCount_ = count();
    shownOperators_ = model_->operatorCount();
    const QString words = membersHereInWords(shownCount_, shownOperators_, locale());
    lblMemberCount->setText(words);
    lstChanSave->setAccessibleDescription(words);
}

void MemberPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        sayHowManyAreHere();
    }
    QWidget::changeEvent(event);
}
