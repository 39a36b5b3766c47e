#pragma once

#include "tavrin_widgets/chan_save_list_model.h"
#include "tavrin_widgets/export.h"

#include <QString>
#include <QWidget>

#include <memory>

class MemberPanelPrivate;
class QMenu;

// A channel's member list as a pane of a chat client's main window, in a dock
// or a splitter: it fills the space its layout gives it and lives for the
// whole session, emptied with clear() when the client changes channel. The
// client calls TavrinAdd and TavrinDel as members join, change and leave; each
// change costs the same at any channel size, and the rows in view stay put
// while members come and go above them.
//
// No function here throws: when a change fails, as when memory runs out, the
// list is as it was before the call and failed() says why.
class TAVRIN_WIDGETS_EXPORT MemberPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(DisplayMode displayMode READ displayMode WRITE setDisplayMode NOTIFY displayModeChanged)
    Q_PROPERTY(tavrin::ShownOrder shownOrder READ shownOrder WRITE setShownOrder NOTIFY shownOrderChanged)
    Q_PROPERTY(MemberOrder memberOrder READ memberOrder WRITE setMemberOrder NOTIFY memberOrderChanged)
    Q_PROPERTY(bool rankHeadingsShown READ rankHeadingsShown WRITE setRankHeadingsShown NOTIFY
                   rankHeadingsShownChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(bool headerVisible READ isHeaderVisible WRITE setHeaderVisible NOTIFY headerVisibleChanged)
    Q_PROPERTY(bool findFieldAlwaysShown READ isFindFieldAlwaysShown WRITE setFindFieldAlwaysShown NOTIFY
                   findFieldAlwaysShownChanged)

public:
    // How the list shows each member: its whole entry text, or a badge, the
    // name and a connection meter. Either way a row's tooltip, spoken text and
    // copied text stay the same.
    enum class DisplayMode { EntryText, Members };
    Q_ENUM(DisplayMode)

    // The order of the rows under the name that earlier versions gave it,
    // kept so that their clients build and link unchanged; tavrin::ShownOrder
    // names the same orders.
    enum class MemberOrder { ListOrder, RankThenName };
    Q_ENUM(MemberOrder)

    using Member = ChanSaveListModel::Member;

    explicit MemberPanel(QWidget* parent = nullptr);
    ~MemberPanel() override;

    // A newcomer to a full list is turned away.
    void TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping);
    void TavrinDel(const QString& username);
    // The whole list a client gets when it joins a channel, in one call, each
    // member as TavrinAdd adds it: into an empty panel at the cost of the
    // list's own adds.
    void addMembers(const QList<Member>& members);
    // Empties the list in one step, for a channel change.
    void clear();

    int count() const;
    // Whether a member of this name is listed, compared as the list compares names.
    bool contains(const QString& username) const;

    DisplayMode displayMode() const;
    void setDisplayMode(DisplayMode mode);

    // The order of the rows: the list's own, operators on top and then
    // everyone as they arrived; or by rank, then by name without regard to
    // case. Either way the list itself keeps its own order. The panel follows
    // its model's order, however it is set.
    tavrin::ShownOrder shownOrder() const;
    void setShownOrder(tavrin::ShownOrder order);
    MemberOrder memberOrder() const;
    void setMemberOrder(MemberOrder order);

    // By rank, a heading row above each rank with members shown, such as
    // "Operators — 7": clicking it, or Space or Return on it, folds the rank
    // away and back. The keys and a screen reader take the headings as a
    // tree's parents: Left goes from a member to its heading and folds it,
    // Right opens it. Shown unless switched off.
    bool rankHeadingsShown() const;
    void setRankHeadingsShown(bool shown);

    // The line above the list that says how many are here, such as
    // "3 operators, 1,204 members". Shown unless hidden; a screen reader hears
    // the same words as the list's description either way.
    bool isHeaderVisible() const;
    void setHeaderVisible(bool visible);

    // The field that narrows the list to the members whose name holds what is
    // typed in it. It is shown above the list, and Ctrl+F goes to it; or, when
    // not always shown, Ctrl+F opens it over the list's lower edge and Escape
    // closes it. While narrowed, the header and a screen reader say how many
    // are shown: "12 of 1,204 members shown".
    bool isFindFieldAlwaysShown() const;
    void setFindFieldAlwaysShown(bool alwaysShown);

    // The members: the list's count signals, roles and rows, for another
    // view, a proxy model or QML to show.
    const ChanSaveListModel& model() const;
    ChanSaveListModel& model();

Q_SIGNALS:
    void countChanged(int count);
    void displayModeChanged(MemberPanel::DisplayMode mode);
    void shownOrderChanged(tavrin::ShownOrder order);
    void memberOrderChanged(MemberPanel::MemberOrder order);
    void rankHeadingsShownChanged(bool shown);
    void headerVisibleChanged(bool visible);
    void findFieldAlwaysShownChanged(bool alwaysShown);
    // A member's row was double-clicked, or Return was pressed on it: a chat
    // client may open a private conversation with that member.
    void memberActivated(const QString& username);
    // The list's context menu is about to show, for this member, or for no one
    // (an empty name) over an empty area. Actions the client adds to the menu
    // come above the display switch; those the menu owns go when it closes.
    void memberMenuRequested(const QString& username, QMenu* menu);
    // A change could not be made and the list is as it was; the reason is
    // the failure's own words, such as "std::bad_alloc".
    void failed(const QString& reason);

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MemberPanelPrivate;
    std::unique_ptr<MemberPanelPrivate> const d;
};
