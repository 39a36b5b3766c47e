#pragma once

#include <QString>
#include <QWidget>

class ChanSaveListModel;
class QAbstractItemDelegate;
class QActionGroup;
class QLabel;
class QMenu;
class UniformRowListView;

// A channel's member list as a pane of a chat client's main window, in a dock
// or a splitter: it fills the space its layout gives it and lives for the
// whole session, emptied with clear() when the client changes channel. The
// client calls TavrinAdd and TavrinDel as members join, change and leave; each
// change costs the same at any channel size, and the rows in view stay put
// while members come and go above them.
class MemberPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(DisplayMode displayMode READ displayMode WRITE setDisplayMode NOTIFY displayModeChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(bool headerVisible READ isHeaderVisible WRITE setHeaderVisible)

public:
    // How the list shows each member: its whole entry text, or a badge, the
    // name and a connection meter. Either way a row's tooltip, spoken text and
    // copied text stay the same.
    enum class DisplayMode { EntryText, Members };
    Q_ENUM(DisplayMode)

    explicit MemberPanel(QWidget* parent = nullptr);

    // Never fails: a newcomer to a full list is turned away.
    void TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping);
    void TavrinDel(const QString& username);
    // Empties the list in one step, for a channel change.
    void clear();

    int count() const;
    // Whether a member of this name is listed, compared as the list compares names.
    bool contains(const QString& username) const;

    DisplayMode displayMode() const { return displayMode_; }
    void setDisplayMode(DisplayMode mode);

    // The line above the list that says how many are here, such as
    // "3 operators, 1,204 members". Shown unless hidden; a screen reader hears
    // the same words as the list's description either way.
    bool isHeaderVisible() const;
    void setHeaderVisible(bool visible);

    const ChanSaveListModel& model() const { return *model_; }

signals:
    void countChanged(int count);
    void displayModeChanged(MemberPanel::DisplayMode mode);
    // A member's row was double-clicked, or Return was pressed on it: a chat
    // client may open a private conversation with that member.
    void memberActivated(const QString& username);
    // The list's context menu is about to show, for this member, or for no one
    // (an empty name) over an empty area. Actions the client adds to the menu
    // come above the display switch; the menu and they go when it closes.
    void memberMenuRequested(const QString& username, QMenu* menu);

protected:
    void changeEvent(QEvent* event) override;

private:
    void showMemberMenu(const QPoint& position);
    // Tells the header, a screen reader and the client what a change did to
    // the number of members.
    void countMayHaveChanged();
    void sayHowManyAreHere();

    ChanSaveListModel* model_;
    UniformRowListView* lstChanSave;
    QLabel* lblMemberCount;
    QAbstractItemDelegate* entryTextDelegate_;
    QAbstractItemDelegate* membersDelegate_;
    QActionGroup* displays_;
    DisplayMode displayMode_ = DisplayMode::EntryText;
    int shownCount_ = 0;
    int shownOperators_ = 0;
};
