#include "tavrin_widgets/frm_tavrin.h"

#include <QPushButton>

#include <stdexcept>
#include <utility>

class frmTavrinPrivate {
public:
    explicit frmTavrinPrivate(frmTavrin* window)
        : panel(new MemberPanel(window)), cmdClose(new QPushButton(frmTavrin::tr("Close"), window)) {}

    MemberPanel* const panel;
    QPushButton* const cmdClose;
    QString failure; // the panel's last, while TavrinDel runs
};

frmTavrin::frmTavrin(QWidget* parent) : QWidget(parent), d(std::make_unique<frmTavrinPrivate>(this)) {
    setObjectName("frmTavrin");
    setWindowTitle(tr("Tavrin"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(385, 203);

    // The layout is fixed: resizing the window moves and stretches nothing.
    MemberPanel* const panel = d->panel;
    panel->setHeaderVisible(false);
    panel->setFindFieldAlwaysShown(false); // it opens over the list's lower edge
    panel->setRankHeadingsShown(false);
    panel->setGeometry(0, 0, 385, 169);
    QFont listFont("Arial");
    listFont.setPointSizeF(8.25);
    panel->setFont(listFont);
    connect(panel, &MemberPanel::memberActivated, this, &frmTavrin::memberActivated);
    connect(panel, &MemberPanel::displayModeChanged, this, &frmTavrin::displayModeChanged);
    connect(panel, &MemberPanel::failed, this, [this](const QString& reason) { d->failure = reason; });

    QPushButton* const cmdClose = d->cmdClose;
    cmdClose->setObjectName("cmdClose");
    cmdClose->setGeometry(320, 176, 57, 25);
    cmdClose->setAutoDefault(true); // Return and Enter press it, as Space does
    setTabOrder(panel, cmdClose);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

frmTavrin::~frmTavrin() = default;

frmTavrin::DisplayMode frmTavrin::displayMode() const {
    return d->panel->displayMode();
}

void frmTavrin::setDisplayMode(DisplayMode mode) {
    d->panel->setDisplayMode(mode);
}

void frmTavrin::TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping) {
    d->panel->TavrinAdd(username, Message, Flags, Ping);
}

void frmTavrin::TavrinDel(const QString& username) {
    d->failure = QString();
    d->panel->TavrinDel(username);
    if (!d->failure.isNull()) {
        throw std::runtime_error(std::exchange(d->failure, QString()).toLocal8Bit().toStdString());
    }
}

MemberPanel& frmTavrin::panel() {
    return *d->panel;
}

const ChanSaveListModel& frmTavrin::model() const {
    return d->panel->model();
}

ChanSaveListModel& frmTavrin::model() {
    return d->panel->model();
}
