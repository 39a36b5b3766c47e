#pragma once

#include "tavrin_widgets/member_panel.h"

class QActionGroup;

namespace tavrin::detail {

// The list's context menu: what the client adds for the member it is about,
// then the choice of display and of order, each checked while it is the
// panel's. One menu, kept, so a screen reader hears it each time as the
// first time; what the client added goes when it closes.
class MemberMenu {
public:
    explicit MemberMenu(MemberPanel& panel);

    // The choices, for the list to offer from the keyboard too.
    QList<QAction*> choices() const;
    // Shows the menu at this point on the screen, for this member or for no
    // one (an empty name); from the keyboard, the display in use is spoken
    // as soon as it opens.
    void exec(const QPoint& at, const QString& member, bool fromKeyboard);

private:
    template <typename Value, typename Changed>
    void addChoices(QActionGroup* group, std::initializer_list<std::pair<Value, QString>> choices,
                    Value current, void (MemberPanel::*set)(Value), Changed changed);

    MemberPanel& panel_;
    QActionGroup* const displays_;
    QActionGroup* const orders_;
    QMenu* const menu_;
};

} // namespace tavrin::detail
