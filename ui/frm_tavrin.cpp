#include "tavrin_widgets/frm_tavrin.h"

#include "channel_list/tavrin.h"
#include "members_delegate.h"
#include "tavrin_widgets/chan_save_list_model.h"
#include "uniform_row_list_view.h"
#include "utf16_text.h"

#include <QAction>
#include <QActionGroup>
#include <QPushButton>

frmTavrin::frmTavrin(QWidget* parent)
    : QWidget(parent), model_(new ChanSaveListModel(this)), lstChanSave(new UniformRowListView(this)),
      cmdClose(new QPushButton(tr("Close"), this)) {
    entryTextDelegate_ = lstChanSave->itemDelegate();
    membersDelegate_ = new MembersDelegate(this);
    setObjectName("frmTavrin");
    setWindowTitle(tr("Tavrin"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(385, 203);

    // The layout is fixed: resizing the window moves and stretches nothing.
    lstChanSave->setObjectName("lstChanSave");
    lstChanSave->setGeometry(0, 0, 385, 169);
    QFont listFont("Arial");
    listFont.setPointSizeF(8.25);
    lstChanSave->setFont(listFont);
    lstChanSave->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstChanSave->setAccessibleName(tr("Channel members"));
    lstChanSave->setModel(model_);
    // Typing a member's first letters finds the member, not "[ICON]".
    lstChanSave->setKeyboardSearchRole(ChanSaveListModel::NameRole);
    connect(lstChanSave, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        emit memberActivated(index.data(ChanSaveListModel::NameRole).toString());
    });

    // The list's context menu switches the display.
    auto* displays = new QActionGroup(this);
    for (const auto& [mode, caption] : {std::pair{DisplayMode::EntryText, tr("Entry text")},
                                        std::pair{DisplayMode::Members, tr("Members")}}) {
        QAction* action = displays->addAction(caption);
        action->setCheckable(true);
        action->setChecked(mode == displayMode_);
        connect(action, &QAction::triggered, this, [this, mode = mode] { setDisplayMode(mode); });
        connect(this, &frmTavrin::displayModeChanged, action,
                [action, mode = mode](DisplayMode shown) { action->setChecked(shown == mode); });
    }
    lstChanSave->addActions(displays->actions());
    lstChanSave->setContextMenuPolicy(Qt::ActionsContextMenu);

    cmdClose->setObjectName("cmdClose");
    cmdClose->setGeometry(320, 176, 57, 25);
    cmdClose->setAutoDefault(true); // Return and Enter press it, as Space does
    setTabOrder(lstChanSave, cmdClose);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void frmTavrin::setDisplayMode(DisplayMode mode) {
    if (mode == displayMode_) {
        return;
    }
    displayMode_ = mode;
    lstChanSave->setItemDelegate(mode == DisplayMode::Members ? membersDelegate_ : entryTextDelegate_);
    emit displayModeChanged(mode);
}

void frmTavrin::TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping) {
    tavrin::TavrinAdd(model_->list(), utf16(username), utf16(Message), Flags, Ping);
}

void frmTavrin::TavrinDel(const QString& username) {
    tavrin::TavrinDel(model_->list(), utf16(username));
}
