#include "tavrin_widgets/frm_tavrin.h"

#include <QPushButton>

frmTavrin::frmTavrin(QWidget* parent)
    : QWidget(parent), panel_(new MemberPanel(this)), cmdClose(new QPushButton(tr("Close"), this)) {
    setObjectName("frmTavrin");
    setWindowTitle(tr("Tavrin"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(385, 203);

    // The layout is fixed: resizing the window moves and stretches nothing.
    panel_->setHeaderVisible(false);
    panel_->setFindFieldAlwaysShown(false); // it opens over the list's lower edge
    panel_->setGeometry(0, 0, 385, 169);
    QFont listFont("Arial");
    listFont.setPointSizeF(8.25);
    panel_->setFont(listFont);
    connect(panel_, &MemberPanel::memberActivated, this, &frmTavrin::memberActivated);
    connect(panel_, &MemberPanel::displayModeChanged, this, &frmTavrin::displayModeChanged);

    cmdClose->setObjectName("cmdClose");
    cmdClose->setGeometry(320, 176, 57, 25);
    cmdClose->setAutoDefault(true); // Return and Enter press it, as Space does
    setTabOrder(panel_, cmdClose);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void frmTavrin::TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping) {
    panel_->TavrinAdd(username, Message, Flags, Ping);
}

void frmTavrin::TavrinDel(const QString& username) {
    panel_->TavrinDel(username);
}
