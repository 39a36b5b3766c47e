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
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>

MemberPanel::MemberPanel(QWidget* parent)
    : QWidget(parent), model_(new ChanSaveListModel(this)), lstChanSave(new UniformRowListView(this)),
      lblMemberCount(new QLabel(this)), txtFind(new QLineEdit(this)),
      membersDelegate_(new MembersDelegate(this)), displays_(new QActionGroup(this)),
      memberMenu_(new QMenu(this)) {
    entryTextDelegate_ = lstChanSave->itemDelegate();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    lblMemberCount->setObjectName("lblMemberCount");
    lblMemberCount->setContentsMargins(3, 2, 3, 2);
    layout->addWidget(lblMemberCount);
    layout->addWidget(txtFind);
    layout->addWidget(lstChanSave, 1);
    setFocusProxy(lstChanSave);

    txtFind->setObjectName("txtFind");
    txtFind->setPlaceholderText(tr("Find member"));
    txtFind->setAccessibleName(tr("Find member"));
    txtFind->setClearButtonEnabled(true);
    txtFind->installEventFilter(this);
    connect(txtFind, &QLineEdit::textChanged, this, &MemberPanel::findMembers);
    auto* find = new QShortcut(QKeySequence::Find, this, this, &MemberPanel::openFindField);
    find->setContext(Qt::WidgetWithChildrenShortcut);

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
    memberMenu_->setObjectName("memberMenu");
    connect(lstChanSave, &UniformRowListView::menuRequested, this, &MemberPanel::showMemberMenu);

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

void MemberPanel::setFindFieldAlwaysShown(bool alwaysShown) {
    if (alwaysShown == findFieldAlwaysShown_) {
        return;
    }
    findFieldAlwaysShown_ = alwaysShown;
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    if (alwaysShown) {
        layout->insertWidget(1, txtFind);
        txtFind->show();
    } else {
        layout->removeWidget(txtFind);
        txtFind->hide();
        placeFindField();
    }
}

void MemberPanel::openFindField() {
    if (!findFieldAlwaysShown_) {
        placeFindField();
        txtFind->show();
        txtFind->raise();
    }
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
}

// Over the list's lower edge, when the field is not always shown.
void MemberPanel::placeFindField() {
    if (!findFieldAlwaysShown_) {
        const int height = txtFind->sizeHint().height();
        txtFind->setGeometry(0, this->height() - height, width(), height);
    }
}

void MemberPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeFindField();
}

void MemberPanel::findMembers(const QString& text) {
    try {
        model_->setSearch(text);
    } catch (const std::exception&) {
        return; // out of memory: the list stays as it was
    }
    const QModelIndex current = lstChanSave->currentIndex();
    if (current.isValid()) {
        lstChanSave->scrollTo(current);
    } else {
        lstChanSave->scrollToTop();
    }
    countMayHaveChanged();
}

bool MemberPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFind && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            return findFieldKeyPressed(key->key());
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool MemberPanel::findFieldKeyPressed(int key) {
    const QModelIndex first = model_->index(0);
    switch (key) {
    case Qt::Key_Down:
        if (first.isValid()) {
            lstChanSave->setCurrentIndex(first);
        }
        lstChanSave->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (first.isValid()) {
            emit memberActivated(first.data(ChanSaveListModel::NameRole).toString());
        }
        return true;
    case Qt::Key_Escape:
        txtFind->clear();
        if (!findFieldAlwaysShown_) {
            txtFind->hide();
            lstChanSave->setFocus(Qt::OtherFocusReason);
        }
        return true;
    default:
        return false;
    }
}

void MemberPanel::showMemberMenu(const QPoint& position, bool fromKeyboard) {
    const QModelIndex member = fromKeyboard ? lstChanSave->currentIndex() : lstChanSave->indexAt(position);
    memberMenu_->clear();
    emit memberMenuRequested(member.data(ChanSaveListModel::NameRole).toString(), memberMenu_);
    if (!memberMenu_->isEmpty()) {
        memberMenu_->addSeparator();
    }
    memberMenu_->addActions(displays_->actions());
    if (fromKeyboard) {
        // The display in use is spoken as soon as the menu opens.
        QTimer::singleShot(0, memberMenu_,
                           [this] { memberMenu_->setActiveAction(displays_->checkedAction()); });
    }
    memberMenu_->exec(lstChanSave->viewport()->mapToGlobal(position));
    memberMenu_->clear(); // what the client added; the display switch stays
}

void MemberPanel::countMayHaveChanged() {
    const int members = count();
    if (members == toldCount_ && model_->operatorCount() == toldOperators_ &&
        model_->list().shownCount() == toldShown_) {
        return;
    }
    const bool countChanges = members != toldCount_;
    sayHowManyAreHere();
    if (countChanges) {
        emit countChanged(members);
    }
}

void MemberPanel::sayHowManyAreHere() {
    toldCount_ = count();
    toldOperators_ = model_->operatorCount();
    toldShown_ = model_->list().shownCount();
    const QString words = model_->list().isNarrowed()
                              ? membersShownInWords(toldShown_, toldCount_, locale())
                              : membersHereInWords(toldCount_, toldOperators_, locale());
    lblMemberCount->setText(words);
    lstChanSave->setAccessibleDescription(words);
}

void MemberPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        sayHowManyAreHere();
    }
    QWidget::changeEvent(event);
}
