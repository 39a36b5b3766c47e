#include "member_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTimer>

namespace tavrin::detail {

MemberMenu::MemberMenu(MemberPanel& panel)
    : panel_(panel), displays_(new QActionGroup(&panel)), orders_(new QActionGroup(&panel)),
      menu_(new QMenu(&panel)) {
    using DisplayMode = MemberPanel::DisplayMode;
    menu_->setObjectName("memberMenu");
    addChoices(displays_,
               {std::pair{DisplayMode::EntryText, MemberPanel::tr("Entry text")},
                {DisplayMode::Members, MemberPanel::tr("Members")}},
               panel.displayMode(), &MemberPanel::setDisplayMode, &MemberPanel::displayModeChanged);
    addChoices(orders_,
               {std::pair{ShownOrder::list, MemberPanel::tr("Order of arrival")},
                {ShownOrder::rankThenName, MemberPanel::tr("Rank, then name")}},
               panel.shownOrder(), &MemberPanel::setShownOrder, &MemberPanel::shownOrderChanged);
}

template <typename Value, typename Changed>
void MemberMenu::addChoices(QActionGroup* group, std::initializer_list<std::pair<Value, QString>> choices,
                            Value current, void (MemberPanel::*set)(Value), Changed changed) {
    MemberPanel* const panel = &panel_;
    for (const auto& [value, caption] : choices) {
        QAction* action = group->addAction(caption);
        action->setCheckable(true);
        action->setChecked(value == current);
        QObject::connect(action, &QAction::triggered, panel,
                         [panel, set, value = value] { (panel->*set)(value); });
        QObject::connect(panel, changed, action,
                         [action, value = value](Value shown) { action->setChecked(shown == value); });
    }
}

QList<QAction*> MemberMenu::choices() const {
    return displays_->actions() + orders_->actions();
}

void MemberMenu::exec(const QPoint& at, const QString& member, bool fromKeyboard) {
    menu_->clear();
    Q_EMIT panel_.memberMenuRequested(member, menu_);
    if (!menu_->isEmpty()) {
        menu_->addSeparator();
    }
    menu_->addActions(displays_->actions());
    menu_->addSeparator();
    menu_->addActions(orders_->actions());
    if (fromKeyboard) {
        QTimer::singleShot(0, menu_, [this] { menu_->setActiveAction(displays_->checkedAction()); });
    }
    menu_->exec(at);
    menu_->clear(); // what the client added; the choices stay
}

} // namespace tavrin::detail
