#include "tavrin_widgets/member_panel.h"

#include "failure.h"
#include "member_find_bar.h"
#include "member_in_words.h"
#include "member_menu.h"
#include "members_delegate.h"
#include "tavrin_widgets/chan_save_list_model.h"
#include "uniform_row_list_view.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using tavrin::detail::MemberFindBar;
using tavrin::detail::MemberMenu;
using tavrin::detail::MembersDelegate;
using tavrin::detail::UniformRowListView;

class MemberPanelPrivate {
public:
    explicit MemberPanelPrivate(MemberPanel* panel)
        : q(panel), model(new ChanSaveListModel(panel)), txtFind(new QLineEdit(panel)),
          lstChanSave(new UniformRowListView(panel)), lblMemberCount(new QLabel(panel)),
          membersDelegate(new MembersDelegate(panel)) {}

    // Runs what a client or the user asked for; a failure is told through
    // failed(), and nothing is thrown into the event loop.
    template <typename Work> void guarded(Work work) {
        try {
            work();
        } catch (...) {
            Q_EMIT q->failed(tavrin::detail::failureInWords());
        }
    }

    // The header follows a change that was made: when it cannot, it is told
    // again with the next change, and the change is not reported as failed.
    void sayHowManyAreHereIfPossible() noexcept {
        try {
            sayHowManyAreHere();
        } catch (...) {
        }
    }

    void showMemberMenu(const QPoint& position, bool fromKeyboard);
    // Folds a heading's rank away, or back; the heading stays current.
    void toggleFold(const QModelIndex& heading);
    // Tells the header and a screen reader how many are here.
    void sayHowManyAreHere();

    MemberPanel* const q;
    ChanSaveListModel* const model;
    QLineEdit* const txtFind; // before the list, in the Tab order too
    UniformRowListView* const lstChanSave;
    QLabel* const lblMemberCount;
    QAbstractItemDelegate* entryTextDelegate = nullptr;
    QAbstractItemDelegate* const membersDelegate;
    std::unique_ptr<MemberMenu> memberMenu; // once the panel is set up
    MemberPanel::DisplayMode displayMode = MemberPanel::DisplayMode::EntryText;
    MemberFindBar* findBar = nullptr; // once the panel is set up
};

MemberPanel::MemberPanel(QWidget* parent) : QWidget(parent), d(std::make_unique<MemberPanelPrivate>(this)) {
    auto* const lstChanSave = d->lstChanSave;
    auto* const lblMemberCount = d->lblMemberCount;
    auto* const model = d->model;
    d->entryTextDelegate = lstChanSave->itemDelegate();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    lblMemberCount->setObjectName("lblMemberCount");
    lblMemberCount->setContentsMargins(3, 2, 3, 2);
    // Opaque, so that a new count repaints the line alone, not the panel
    // under it.
    lblMemberCount->setAutoFillBackground(true);
    layout->addWidget(lblMemberCount);
    layout->addWidget(lstChanSave, 1);
    setFocusProxy(lstChanSave);

    lstChanSave->setObjectName("lstChanSave");
    lstChanSave->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstChanSave->setAccessibleName(tr("Channel members"));
    lstChanSave->setModel(model);
    // Typing a member's first letters finds the member, not "[ICON]".
    lstChanSave->setKeyboardSearchRole(ChanSaveListModel::NameRole);
    lstChanSave->setHeadingRoles(ChanSaveListModel::HeadingRole, ChanSaveListModel::FoldedRole);
    model->setRankHeadingsShown(true);
    connect(lstChanSave, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (!d->lstChanSave->isHeading(index)) {
            Q_EMIT memberActivated(index.data(ChanSaveListModel::NameRole).toString());
        }
    });
    connect(lstChanSave, &UniformRowListView::headingActivated, this,
            [this](const QModelIndex& heading) { d->guarded([&] { d->toggleFold(heading); }); });

    d->findBar = new MemberFindBar(*this, *d->txtFind, *layout, 1, *lstChanSave, *model,
                                   [this] { d->sayHowManyAreHereIfPossible(); });

    // The header and a screen reader follow the model's counts.
    connect(model, &ChanSaveListModel::failed, this, &MemberPanel::failed);
    // The order and the headings follow the model's, however they are set;
    // the current member stays in sight.
    connect(model, &ChanSaveListModel::shownOrderChanged, this, [this] {
        const QModelIndex current = d->lstChanSave->currentIndex();
        d->guarded(
            [&] { current.isValid() ? d->lstChanSave->scrollTo(current) : d->lstChanSave->scrollToTop(); });
        Q_EMIT shownOrderChanged(shownOrder());
        Q_EMIT memberOrderChanged(memberOrder());
    });
    connect(model, &ChanSaveListModel::rankHeadingsShownChanged, this,
            &MemberPanel::rankHeadingsShownChanged);
    connect(model, &ChanSaveListModel::memberCountChanged, this, [this](int members) {
        d->sayHowManyAreHereIfPossible();
        Q_EMIT countChanged(members);
    });
    for (const auto countChanged :
         {&ChanSaveListModel::operatorCountChanged, &ChanSaveListModel::shownCountChanged}) {
        connect(model, countChanged, this, [this] { d->sayHowManyAreHereIfPossible(); });
    }

    // The list's context menu switches the display and the order, below what
    // the client adds.
    d->memberMenu = std::make_unique<MemberMenu>(*this);
    lstChanSave->addActions(d->memberMenu->choices());
    connect(lstChanSave, &UniformRowListView::menuRequested, this,
            [this](const QPoint& position, bool fromKeyboard) {
                d->guarded([&] { d->showMemberMenu(position, fromKeyboard); });
            });

    d->sayHowManyAreHere();
}

MemberPanel::~MemberPanel() = default;

void MemberPanel::addMembers(const QList<Member>& members) {
    d->model->addMembers(members);
}

tavrin::ShownOrder MemberPanel::shownOrder() const {
    return d->model->shownOrder();
}

void MemberPanel::setShownOrder(tavrin::ShownOrder order) {
    d->model->setShownOrder(order);
}

MemberPanel::MemberOrder MemberPanel::memberOrder() const {
    return d->model->shownOrder() == tavrin::ShownOrder::rankThenName ? MemberOrder::RankThenName
                                                                      : MemberOrder::ListOrder;
}

void MemberPanel::setMemberOrder(MemberOrder order) {
    d->model->setShownOrder(order == MemberOrder::RankThenName ? tavrin::ShownOrder::rankThenName
                                                               : tavrin::ShownOrder::list);
}

bool MemberPanel::rankHeadingsShown() const {
    return d->model->rankHeadingsShown();
}

void MemberPanel::setRankHeadingsShown(bool shown) {
    d->model->setRankHeadingsShown(shown);
}

void MemberPanelPrivate::toggleFold(const QModelIndex& heading) {
    const auto rank = static_cast<tavrin::Rank>(heading.data(ChanSaveListModel::RankRole).toInt());
    const int row = heading.row();
    model->setRankFolded(rank, !model->isRankFolded(rank));
    lstChanSave->selectionModel()->setCurrentIndex(model->index(row), QItemSelectionModel::NoUpdate);
}

void MemberPanel::TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping) {
    d->model->TavrinAdd(username, Message, Flags, Ping);
}

void MemberPanel::TavrinDel(const QString& username) {
    d->model->TavrinDel(username);
}

void MemberPanel::clear() {
    d->model->clear();
}

int MemberPanel::count() const {
    return d->model->memberCount();
}

bool MemberPanel::contains(const QString& username) const {
    return d->model->contains(username);
}

const ChanSaveListModel& MemberPanel::model() const {
    return *d->model;
}

ChanSaveListModel& MemberPanel::model() {
    return *d->model;
}

MemberPanel::DisplayMode MemberPanel::displayMode() const {
    return d->displayMode;
}

void MemberPanel::setDisplayMode(DisplayMode mode) {
    if (mode == d->displayMode) {
        return;
    }
    d->guarded([&] {
        d->lstChanSave->setItemDelegate(mode == DisplayMode::Members ? d->membersDelegate
                                                                     : d->entryTextDelegate);
        d->displayMode = mode;
    });
    if (d->displayMode == mode) {
        Q_EMIT displayModeChanged(mode);
    }
}

bool MemberPanel::isHeaderVisible() const {
    return !d->lblMemberCount->isHidden();
}

void MemberPanel::setHeaderVisible(bool visible) {
    if (visible != isHeaderVisible()) {
        d->lblMemberCount->setVisible(visible);
        d->sayHowManyAreHereIfPossible();
        Q_EMIT headerVisibleChanged(visible);
    }
}

bool MemberPanel::isFindFieldAlwaysShown() const {
    return d->findBar->isAlwaysShown();
}

void MemberPanel::setFindFieldAlwaysShown(bool alwaysShown) {
    if (alwaysShown == isFindFieldAlwaysShown()) {
        return;
    }
    d->guarded([&] { d->findBar->setAlwaysShown(alwaysShown); });
    Q_EMIT findFieldAlwaysShownChanged(alwaysShown);
}

void MemberPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    d->findBar->place();
}

// The list's keys are the list's own now; kept for the library's binary
// interface.
bool MemberPanel::eventFilter(QObject* watched, QEvent* event) {
    return QWidget::eventFilter(watched, event);
}

void MemberPanelPrivate::showMemberMenu(const QPoint& position, bool fromKeyboard) {
    const QModelIndex member = fromKeyboard ? lstChanSave->currentIndex() : lstChanSave->indexAt(position);
    memberMenu->exec(lstChanSave->viewport()->mapToGlobal(position),
                     member.data(ChanSaveListModel::NameRole).toString(), fromKeyboard);
}

void MemberPanelPrivate::sayHowManyAreHere() {
    const int members = model->memberCount();
    const QString words =
        model->isNarrowed()
            ? tavrin::detail::membersShownInWords(model->shownCount(), members, q->locale())
            : tavrin::detail::membersHereInWords(members, model->operatorCount(), q->locale());
    lblMemberCount->setText(words);
    lstChanSave->setAccessibleDescription(words);
    // The count line is heard on entering the list, as part of its name.
    const QString name = MemberPanel::tr("Channel members");
    lstChanSave->setAccessibleName(lblMemberCount->isHidden() ? name : name + QLatin1String(", ") + words);
}

void MemberPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        d->guarded([this] { d->sayHowManyAreHere(); });
    }
    QWidget::changeEvent(event);
}
