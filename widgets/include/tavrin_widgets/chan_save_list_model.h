#pragma once

#include "tavrin_widgets/export.h"

#include "channel_list/chan_save_list.h"

#include <QAbstractListModel>

#include <memory>

class ChanSaveListModelPrivate;

// Presents a channel list to Qt's item views, one row per entry text that the
// list's search shows, which is every entry unless a search narrows it, in the
// list's own order or by rank, then name. By rank, a heading row may stand
// above each rank that has members shown, and a rank may be folded away under
// its heading. The model owns the list, the one copy of the members, and every
// change goes through it: it arrives as row insertions and removals, so a view
// keeps its selection and scroll position while members come and go.
//
// No function here throws. When a change fails, as when memory runs out, the
// list is as it was before the call and failed() says why.
class TAVRIN_WIDGETS_EXPORT ChanSaveListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int memberCount READ memberCount NOTIFY memberCountChanged)
    Q_PROPERTY(int operatorCount READ operatorCount NOTIFY operatorCountChanged)
    Q_PROPERTY(int shownCount READ shownCount NOTIFY shownCountChanged)
    Q_PROPERTY(tavrin::ShownOrder shownOrder READ shownOrder WRITE setShownOrder NOTIFY shownOrderChanged)
    Q_PROPERTY(bool rankHeadingsShown READ rankHeadingsShown WRITE setRankHeadingsShown NOTIFY
                   rankHeadingsShownChanged)
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)

public:
    // Beside the entry text (the display role), each row answers with the
    // member in words, as its tooltip and accessible text, and with what the
    // list reads from the entry. roleNames() names these roles.
    enum Role {
        NameRole = Qt::UserRole, // "name": the member's name
        StandingRole,            // "standing": the tavrin::Standing, as an int
        KeywordRole,             // "keyword": the icon keyword, such as "OP" or "RATS"
        PingRole,                // "ping": milliseconds; no value without UDP
        RankRole,                // "rank": the tavrin::Rank, as an int, of a member or a heading
        HeadingRole,             // "heading": true on a rank's heading row
        FoldedRole,              // "folded": on a heading, whether its rank is folded away
    };
    Q_ENUM(Role)

    // One member as a chat client hears of it.
    struct Member {
        QString username;
        QString Message;
        qint32 Flags = 0;
        qint32 Ping = 0;
    };

    explicit ChanSaveListModel(QObject* parent = nullptr);
    ~ChanSaveListModel() override;

    // The list, to read; change it through the functions below.
    const tavrin::ChanSaveList& list() const;

    // Every member, shown or not; those with the operator keyword; and those
    // the search shows, one a row.
    int memberCount() const;
    int operatorCount() const;
    int shownCount() const;

    // Adds or refreshes a member: one entry per name, operators on top. A
    // newcomer to a full list is turned away.
    void TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping);
    // Adds many members at once, each as TavrinAdd does, as when a client
    // joins a channel: into an empty list as one reset, otherwise as rows.
    void addMembers(const QList<Member>& members);
    // Removes the member of this name, compared without case, if listed.
    void TavrinDel(const QString& username);
    // Empties the list in one reset, for a channel change.
    void clear();
    // Whether a member of this name is listed, shown or not.
    bool contains(const QString& username) const;
    // The member's name as the list holds it, in the case it was last given
    // in; empty when no member of this name is listed.
    QString listedName(const QString& username) const;

    // Shows only the members whose name contains the text, compared as the
    // list compares names; an empty text shows everyone. The rows change as
    // one layout change, and the current and selected members that are still
    // shown stay so.
    void setSearch(const QString& text);
    QString search() const;
    bool isNarrowed() const;

    // The order of the rows, the headings above the ranks, and the ranks folded
    // under them, each changed as one layout change that keeps the current and
    // selected members, as a search does. Headings show only by rank.
    void setShownOrder(tavrin::ShownOrder order);
    tavrin::ShownOrder shownOrder() const;
    void setRankHeadingsShown(bool shown);
    bool rankHeadingsShown() const;
    // Folding a rank away takes its members' rows out, and its heading stays.
    void setRankFolded(tavrin::Rank rank, bool folded);
    bool isRankFolded(tavrin::Rank rank) const;
    // The heading above a member's row, when headings are shown.
    QModelIndex headingOf(const QModelIndex& member) const;

    // The names that begin with this text, compared as the list compares
    // names, in rank-then-name order, whatever order is shown. While the index
    // is held, this costs O(log n + k) for k names; otherwise it sorts.
    QStringList namesStartingWith(const QString& prefix) const;
    // Keeps that index while the hold lives. A hold that could not be had,
    // as when memory runs out, holds nothing, and failed() says why.
    tavrin::RankIndexHold nameIndexHold();
    // The same, counted by hand: each hold wants one release.
    void holdNameIndex() const;
    void releaseNameIndex() const;

    QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    void multiData(const QModelIndex& index, QModelRoleDataSpan roles) const override;
    QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void memberCountChanged(int count);
    void operatorCountChanged(int count);
    void shownCountChanged(int count);
    void shownOrderChanged(tavrin::ShownOrder order);
    void rankHeadingsShownChanged(bool shown);
    void searchChanged(const QString& text);
    // TavrinDel removed this member.
    void memberLeft(const QString& username);
    // A change could not be made and the list is as it was; the reason is
    // the failure's own words, such as "std::bad_alloc".
    void failed(const QString& reason);

private:
    friend class ChanSaveListModelPrivate;
    std::unique_ptr<ChanSaveListModelPrivate> const d;
};
