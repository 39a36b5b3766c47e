#include "tavrin_widgets/chan_save_list_model.h"

#include "channel_list/entry_text.h"
#include "channel_list/tavrin.h"
#include "failure.h"
#include "member_in_words.h"
#include "rank_heading_rows.h"
#include "utf16_text.h"

#include <array>

using tavrin::detail::RankHeadingRows;
using tavrin::detail::RowContent;
using tavrin::detail::toQString;
using tavrin::detail::utf16;

namespace {

using tavrin::Position;
using tavrin::Rank;

constexpr Rank rankNumber(int rank) {
    return static_cast<Rank>(rank);
}

// A row that a view holds on to, as it is found again after a layout change:
// a heading by its rank, a member by its place in the list.
struct HeldRow {
    bool heading = false;
    Rank rank = Rank::member;
    Position position = 0;
};

} // namespace

// Hears the list's changes and turns them into the model's row changes. It
// runs inside the list's changes, which cannot fail: nothing here allocates
// but Qt's own signals.
class ChanSaveListModelPrivate final : private tavrin::ChanSaveListReplaceObserver {
public:
    explicit ChanSaveListModelPrivate(ChanSaveListModel& model) : q(model) { list.addObserver(this); }
    ~ChanSaveListModelPrivate() { list.removeObserver(this); }
    ChanSaveListModelPrivate(const ChanSaveListModelPrivate&) = delete;
    ChanSaveListModelPrivate& operator=(const ChanSaveListModelPrivate&) = delete;

    // Runs a change of the list; a failure is told through failed(), and the
    // counts that changed are told after it either way.
    template <typename Change> void change(Change change) {
        try {
            change();
        } catch (...) {
            emit q.failed(tavrin::detail::failureInWords());
        }
        tellCounts();
    }

    void tellCounts() {
        const int members = list.count();
        const int shown = list.shownCount();
        if (members != toldMembers) {
            toldMembers = members;
            emit q.memberCountChanged(members);
        }
        if (operators != toldOperators) {
            toldOperators = operators;
            emit q.operatorCountChanged(operators);
        }
        if (shown != toldShown) {
            toldShown = shown;
            emit q.shownCountChanged(shown);
        }
    }

    // Under headings, each rank with members shown takes a heading row, then
    // a row for each member unless folded.
    bool grouped() const noexcept {
        return headingsShown && list.shownOrder() == tavrin::ShownOrder::rankThenName;
    }
    bool isFolded(Rank rank) const noexcept {
        return (foldedRanks & (1U << static_cast<unsigned>(rank))) != 0;
    }
    int membersIn(Rank rank) const noexcept { return list.shownCountIn(rank); }
    RankHeadingRows::Counts shownCounts() const noexcept {
        RankHeadingRows::Counts counts{};
        for (int rank = 0; rank < tavrin::rankCount; ++rank) {
            counts[static_cast<std::size_t>(rank)] = membersIn(rankNumber(rank));
        }
        return counts;
    }
    RankHeadingRows headingRows() const noexcept { return {shownCounts(), foldedRanks, keptHeading}; }

    int rowCount() const noexcept { return grouped() ? headingRows().rowCount() : list.shownCount(); }

    // The row of the member shown at this place, in a rank not folded.
    int rowOfMember(Rank rank, Position shownPosition) const noexcept {
        return grouped() ? headingRows().memberRow(rank, shownPosition) : shownPosition - 1;
    }

    // The list counts its shown places from 1, a model its rows from 0.
    RowContent contentOf(int row) const noexcept {
        return grouped() ? headingRows().contentOf(row) : RowContent{false, Rank::member, row + 1};
    }

    std::u16string_view textOf(const RowContent& content) const {
        return list.shownText(static_cast<Position>(content.shownPosition));
    }

    HeldRow held(int row) const {
        const RowContent content = contentOf(row);
        return {content.heading, content.rank,
                content.heading ? Position{0}
                                : list.shownEntry(static_cast<Position>(content.shownPosition))};
    }

    QModelIndex indexOf(const HeldRow& row) const {
        if (row.heading) {
            return grouped() && membersIn(row.rank) > 0 ? q.createIndex(headingRows().headingRow(row.rank), 0)
                                                        : QModelIndex();
        }
        const Position shown = list.shownPositionOf(row.position);
        const Rank rank = list.rankAt(row.position);
        if (shown == 0 || (grouped() && isFolded(rank))) {
            return {};
        }
        return q.createIndex(rowOfMember(rank, shown), 0);
    }

    // Changes which rows there are all at once: the rows that views hold on
    // to, the current and selected ones, follow their members and headings
    // into the new rows, or go when they are no longer shown.
    template <typename Change> void relayout(Change change) {
        // Views hold their selection as persistent indexes from here on.
        emit q.layoutAboutToBeChanged();
        QModelIndexList before;
        std::vector<HeldRow> rows;
        QModelIndexList after;
        try {
            before = q.persistentIndexList();
            rows.reserve(static_cast<std::size_t>(before.size()));
            for (const QModelIndex& index : before) {
                rows.push_back(held(index.row()));
            }
            after.reserve(before.size());
            change();
        } catch (...) {
            emit q.layoutChanged();
            throw;
        }
        // The change is made: should the views fail to follow it, as when
        // memory runs out, they lose their current and selected rows, and the
        // change is not reported as failed.
        countHeadings();
        try {
            for (const HeldRow& row : rows) {
                after << indexOf(row);
            }
            q.changePersistentIndexList(before, after);
        } catch (...) {
        }
        try {
            emit q.layoutChanged();
        } catch (...) {
        }
    }

    void headingData(Rank rank, QModelRoleDataSpan roles) const;

    // A heading's count changes for its views only once the rows under it
    // have: until the rows' change ends, it shows the count from before.
    void countHeadings() noexcept {
        for (int rank = 0; rank < tavrin::rankCount; ++rank) {
            headingCounts[static_cast<std::size_t>(rank)] = membersIn(rankNumber(rank));
        }
    }

    void redrawRow(int row) {
        const QModelIndex index = q.createIndex(row, 0);
        emit q.dataChanged(index, index);
    }

    ChanSaveListModel& q;
    tavrin::ChanSaveList list;
    int operators = 0;
    int toldMembers = 0;
    int toldOperators = 0;
    int toldShown = 0;
    bool headingsShown = false;
    unsigned foldedRanks = 0;
    // A rank whose heading stays, with no members, while a member leaves it for another.
    int keptHeading = RankHeadingRows::noRank;
    std::array<int, tavrin::rankCount> headingCounts{};
    bool resetting = false; // many members added at once, as one reset
    // Between the two halves of a change: whether rows were begun, and the
    // heading whose count changed.
    bool rowsBegun = false;
    int changedHeading = -1;
    // Between the two halves of a replacement: what the member's row does,
    // and the rank that it leaves empty.
    struct Replacing {
        enum class Rows { none, moved, removed, inserted } rows = Rows::none;
        int emptied = RankHeadingRows::noRank;
    } replacing;

private:
    void countOperator(tavrin::Position position, int change) noexcept {
        if (tavrin::entryFields(list.text(position)).keyword == tavrin::operatorKeyword) {
            operators += change;
        }
    }

    // Which rows a member entering or leaving adds or takes: none when the
    // search hides it; under headings, the heading too when it is the rank's
    // only member, and no member row when the rank is folded.
    template <typename Begin>
    void beginRows(const tavrin::ListChange& change, int membersBefore, Begin begin) {
        rowsBegun = false;
        changedHeading = -1;
        if (change.shownPosition == 0 || resetting) {
            return;
        }
        if (!grouped()) {
            begin(change.shownPosition - 1, change.shownPosition - 1);
        } else if (membersBefore == (begin.inserting ? 0 : 1)) {
            const int heading = headingRows().headingRow(change.rank);
            begin(heading, heading + (isFolded(change.rank) ? 0 : 1));
            changedHeading = begin.inserting ? heading : -1;
        } else {
            changedHeading = headingRows().headingRow(change.rank);
            if (!isFolded(change.rank)) {
                const int row = rowOfMember(change.rank, change.shownPosition);
                begin(row, row);
            }
        }
    }

    struct InsertRows {
        static constexpr bool inserting = true;
        ChanSaveListModelPrivate& d;
        void operator()(int first, int last) {
            d.q.beginInsertRows({}, first, last);
            d.rowsBegun = true;
        }
    };
    struct RemoveRows {
        static constexpr bool inserting = false;
        ChanSaveListModelPrivate& d;
        void operator()(int first, int last) {
            d.q.beginRemoveRows({}, first, last);
            d.rowsBegun = true;
        }
    };

    void finishRows(bool inserting) {
        if (rowsBegun) {
            inserting ? q.endInsertRows() : q.endRemoveRows();
        }
        countHeadings();
        if (changedHeading >= 0) {
            redrawRow(changedHeading);
        }
    }

    void aboutToInsert(const tavrin::ListChange& change) override {
        beginRows(change, membersIn(change.rank), InsertRows{*this});
    }

    void inserted(const tavrin::ListChange& change) override {
        countOperator(change.position, +1);
        finishRows(true);
    }

    void aboutToRemove(const tavrin::ListChange& change) override {
        countOperator(change.position, -1);
        beginRows(change, membersIn(change.rank), RemoveRows{*this});
    }

    void removed(const tavrin::ListChange&) override { finishRows(false); }

    // A member refreshed stays the same person: their row moves, or changes
    // in place, so the current row, the selection and persistent indexes go
    // with them. Under headings, a rank the member enters gets its heading
    // first, while the list is as it was; a rank they leave empty keeps its
    // heading until their row has gone, and loses it then.
    void aboutToReplace(const tavrin::ListChange& from, const tavrin::ListChange& to) noexcept override {
        countOperator(from.position, -1);
        replacing = {};
        if (resetting) {
            return;
        }
        const RankHeadingRows::Counts before = shownCounts();
        RankHeadingRows::Counts after = before;
        after[static_cast<std::size_t>(from.rank)] -= from.shownPosition > 0 ? 1 : 0;
        after[static_cast<std::size_t>(to.rank)] += to.shownPosition > 0 ? 1 : 0;
        const auto changes = [&](Rank rank, const RankHeadingRows::Counts& first,
                                 const RankHeadingRows::Counts& second) {
            const auto at = static_cast<std::size_t>(rank);
            return grouped() && first[at] == 0 && second[at] > 0 ? static_cast<int>(rank)
                                                                 : RankHeadingRows::noRank;
        };
        const int entered = changes(to.rank, before, after);
        replacing.emptied = changes(from.rank, after, before);
        if (entered != RankHeadingRows::noRank) {
            const int heading = RankHeadingRows(before, foldedRanks).headingRow(to.rank);
            q.beginInsertRows({}, heading, heading);
            keptHeading = entered;
            q.endInsertRows();
        }
        const int fromRow = rowIn(RankHeadingRows(before, foldedRanks, keptHeading), from);
        const int toRow = rowIn(RankHeadingRows(after, foldedRanks, replacing.emptied), to);
        if (fromRow >= 0 && toRow >= 0 && fromRow != toRow) {
            replacing.rows = q.beginMoveRows({}, fromRow, fromRow, {}, toRow > fromRow ? toRow + 1 : toRow)
                                 ? Replacing::Rows::moved
                                 : Replacing::Rows::none;
        } else if (fromRow >= 0 && toRow < 0) {
            q.beginRemoveRows({}, fromRow, fromRow);
            replacing.rows = Replacing::Rows::removed;
        } else if (fromRow < 0 && toRow >= 0) {
            q.beginInsertRows({}, toRow, toRow);
            replacing.rows = Replacing::Rows::inserted;
        }
    }

    void replaced(const tavrin::ListChange& from, const tavrin::ListChange& to) noexcept override {
        countOperator(to.position, +1);
        if (resetting) {
            return;
        }
        keptHeading = replacing.emptied;
        switch (replacing.rows) {
        case Replacing::Rows::moved:
            q.endMoveRows();
            break;
        case Replacing::Rows::removed:
            q.endRemoveRows();
            break;
        case Replacing::Rows::inserted:
            q.endInsertRows();
            break;
        case Replacing::Rows::none:
            break;
        }
        if (replacing.emptied != RankHeadingRows::noRank) {
            const int heading = headingRows().headingRow(rankNumber(replacing.emptied));
            q.beginRemoveRows({}, heading, heading);
            keptHeading = RankHeadingRows::noRank;
            q.endRemoveRows();
        }
        const int row = rowIn(headingRows(), to);
        if (row >= 0) {
            redrawRow(row);
        }
        // The headings whose counts changed.
        const auto counts = headingCounts;
        countHeadings();
        for (const Rank rank : {from.rank, to.rank}) {
            const auto at = static_cast<std::size_t>(rank);
            if (grouped() && counts[at] != headingCounts[at] && membersIn(rank) > 0) {
                redrawRow(headingRows().headingRow(rank));
            }
        }
    }

    // The row of an entry that the list shows at this place, or -1 when it
    // has none: hidden by the search, or in a folded rank.
    int rowIn(const RankHeadingRows& rows, const tavrin::ListChange& change) const noexcept {
        if (change.shownPosition == 0) {
            return -1;
        }
        return grouped() ? rows.memberRow(change.rank, change.shownPosition) : change.shownPosition - 1;
    }

    // One reset, not a removal for every member, when the channel changes.
    void aboutToClear() override { q.beginResetModel(); }

    void cleared() override {
        operators = 0;
        countHeadings();
        q.endResetModel();
    }
};

ChanSaveListModel::ChanSaveListModel(QObject* parent)
    : QAbstractListModel(parent), d(std::make_unique<ChanSaveListModelPrivate>(*this)) {}

ChanSaveListModel::~ChanSaveListModel() = default;

const tavrin::ChanSaveList& ChanSaveListModel::list() const {
    return d->list;
}

int ChanSaveListModel::memberCount() const {
    return d->list.count();
}

int ChanSaveListModel::operatorCount() const {
    return d->operators;
}

int ChanSaveListModel::shownCount() const {
    return d->list.shownCount();
}

bool ChanSaveListModel::isNarrowed() const {
    return d->list.isNarrowed();
}

// An add that lists no one, as when a newcomer finds the list full, is told
// through failed().
void ChanSaveListModel::TavrinAdd(const QString& username, const QString& Message, qint32 Flags,
                                  qint32 Ping) {
    d->change([&] { tavrin::addOrRefresh(d->list, utf16(username), utf16(Message), Flags, Ping); });
}

// Every member who can be listed is; the first failure, if any, is told once.
void ChanSaveListModel::addMembers(const QList<Member>& members) {
    QString failure;
    const auto addAll = [&]() noexcept {
        for (const Member& member : members) {
            try {
                tavrin::addOrRefresh(d->list, utf16(member.username), utf16(member.Message), member.Flags,
                                     member.Ping);
            } catch (...) {
                if (failure.isNull()) {
                    failure = tavrin::detail::failureInWords();
                }
            }
        }
    };
    if (d->list.count() > 0) {
        d->change(addAll);
    } else {
        d->change([&] {
            beginResetModel();
            d->resetting = true;
            addAll();
            d->resetting = false;
            d->countHeadings();
            endResetModel();
        });
    }
    if (!failure.isNull()) {
        emit failed(failure);
    }
}

void ChanSaveListModel::TavrinDel(const QString& username) {
    const int before = d->list.count();
    d->change([&] { tavrin::TavrinDel(d->list, utf16(username)); });
    if (d->list.count() < before) {
        emit memberLeft(username);
    }
}

void ChanSaveListModel::clear() {
    d->change([&] { d->list.clear(); });
}

bool ChanSaveListModel::contains(const QString& username) const {
    try {
        return d->list.find(utf16(username)).has_value();
    } catch (...) {
        emit const_cast<ChanSaveListModel*>(this)->failed(tavrin::detail::failureInWords());
        return false;
    }
}

QString ChanSaveListModel::listedName(const QString& username) const {
    try {
        const auto position = d->list.find(utf16(username));
        return position ? toQString(tavrin::entryFields(d->list.text(*position)).name) : QString();
    } catch (...) {
        emit const_cast<ChanSaveListModel*>(this)->failed(tavrin::detail::failureInWords());
        return {};
    }
}

void ChanSaveListModel::setSearch(const QString& text) {
    d->change([&] { d->relayout([&] { d->list.setSearch(utf16(text)); }); });
}

void ChanSaveListModel::setShownOrder(tavrin::ShownOrder order) {
    if (order == d->list.shownOrder()) {
        return;
    }
    // The rank index is built before the rows start to change: when that
    // fails, nothing has.
    d->change([&] {
        const tavrin::RankIndexHold built(d->list);
        d->relayout([&] { d->list.setShownOrder(order); });
    });
}

tavrin::ShownOrder ChanSaveListModel::shownOrder() const {
    return d->list.shownOrder();
}

void ChanSaveListModel::setRankHeadingsShown(bool shown) {
    if (shown != d->headingsShown) {
        d->change([&] { d->relayout([&] { d->headingsShown = shown; }); });
    }
}

bool ChanSaveListModel::rankHeadingsShown() const {
    return d->headingsShown;
}

void ChanSaveListModel::setRankFolded(tavrin::Rank rank, bool folded) {
    if (folded == d->isFolded(rank)) {
        return;
    }
    const auto fold = [&] {
        d->foldedRanks ^= 1U << static_cast<unsigned>(rank);
    };
    const int members = d->membersIn(rank);
    if (!d->grouped() || members == 0) {
        fold();
        return;
    }
    const int heading = d->headingRows().headingRow(rank);
    d->change([&] {
        if (folded) {
            beginRemoveRows({}, heading + 1, heading + members);
            fold();
            endRemoveRows();
        } else {
            beginInsertRows({}, heading + 1, heading + members);
            fold();
            endInsertRows();
        }
        d->redrawRow(heading);
    });
}

bool ChanSaveListModel::isRankFolded(tavrin::Rank rank) const {
    return d->isFolded(rank);
}

QModelIndex ChanSaveListModel::headingOf(const QModelIndex& member) const {
    if (!d->grouped() ||
        !checkIndex(member, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    return createIndex(d->headingRows().headingRow(d->contentOf(member.row()).rank), 0);
}

QStringList ChanSaveListModel::namesStartingWith(const QString& prefix) const {
    QStringList names;
    try {
        for (const tavrin::Position position : d->list.entriesNamedFrom(utf16(prefix))) {
            names << toQString(tavrin::entryFields(d->list.text(position)).name);
        }
    } catch (...) {
        emit const_cast<ChanSaveListModel*>(this)->failed(tavrin::detail::failureInWords());
        names.clear();
    }
    return names;
}

tavrin::RankIndexHold ChanSaveListModel::nameIndexHold() {
    try {
        return tavrin::RankIndexHold(d->list);
    } catch (...) {
        emit failed(tavrin::detail::failureInWords());
        return {};
    }
}

void ChanSaveListModel::holdNameIndex() const {
    try {
        d->list.holdRankIndex();
    } catch (...) {
        emit const_cast<ChanSaveListModel*>(this)->failed(tavrin::detail::failureInWords());
    }
}

void ChanSaveListModel::releaseNameIndex() const {
    d->list.releaseRankIndex();
}

// A heading's words and count, its spoken words, and whether it is folded.
void ChanSaveListModelPrivate::headingData(Rank rank, QModelRoleDataSpan roles) const {
    const int members = headingCounts[static_cast<std::size_t>(rank)];
    const bool folded = isFolded(rank);
    for (QModelRoleData& value : roles) {
        switch (value.role()) {
        case Qt::DisplayRole:
            value.setData(tavrin::detail::rankHeadingInWords(rank, members, QLocale()));
            break;
        case Qt::ToolTipRole:
        case Qt::AccessibleTextRole:
            value.setData(tavrin::detail::rankHeadingSpoken(rank, members, folded, QLocale()));
            break;
        case ChanSaveListModel::RankRole:
            value.setData(static_cast<int>(rank));
            break;
        case ChanSaveListModel::HeadingRole:
            value.setData(true);
            break;
        case ChanSaveListModel::FoldedRole:
            value.setData(folded);
            break;
        default:
            break;
        }
    }
}

// Views ask for indexes all the time; this answers without the
// base class's round of virtual calls.
QModelIndex ChanSaveListModel::index(int row, int column, const QModelIndex& parent) const {
    const bool inRange = row >= 0 && row < d->rowCount() && column == 0 && !parent.isValid();
    return inRange ? createIndex(row, 0) : QModelIndex();
}

int ChanSaveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : d->rowCount();
}

// A heading can be current, and clicked, but not selected.
Qt::ItemFlags ChanSaveListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags member = QAbstractListModel::flags(index);
    return index.isValid() && d->contentOf(index.row()).heading ? member & ~Qt::ItemIsSelectable : member;
}

QVariant ChanSaveListModel::data(const QModelIndex& index, int role) const {
    QModelRoleData value(role);
    multiData(index, value);
    return value.data();
}

// The entry is read once for every role asked for at once, as a delegate does
// for each row it paints. Views ask from inside Qt's painting and
// accessibility: a row whose values cannot be had, as when memory runs out,
// answers nothing.
void ChanSaveListModel::multiData(const QModelIndex& index, QModelRoleDataSpan roles) const {
    for (QModelRoleData& value : roles) {
        value.clearData();
    }
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return;
    }
    try {
        const RowContent row = d->contentOf(index.row());
        if (row.heading) {
            d->headingData(row.rank, roles);
            return;
        }
        const std::u16string_view text = d->textOf(row);
        const tavrin::EntryFields fields = tavrin::entryFields(text);
        const tavrin::Standing standing = tavrin::standingOf(fields.keyword);
        for (QModelRoleData& value : roles) {
            switch (value.role()) {
            case Qt::DisplayRole:
                value.setData(toQString(text));
                break;
            case Qt::ToolTipRole:
            case Qt::AccessibleTextRole:
                value.setData(tavrin::detail::memberInWords(index));
                break;
            case NameRole:
                value.setData(toQString(fields.name));
                break;
            case StandingRole:
                value.setData(static_cast<int>(standing));
                break;
            case RankRole:
                value.setData(static_cast<int>(tavrin::rankOf(standing)));
                break;
            case HeadingRole:
                value.setData(false);
                break;
            case KeywordRole:
                value.setData(toQString(fields.keyword));
                break;
            case PingRole:
                if (const auto ping = tavrin::readPing(fields.pingField).milliseconds) {
                    value.setData(static_cast<qlonglong>(*ping));
                }
                break;
            default:
                break;
            }
        }
    } catch (...) {
        for (QModelRoleData& value : roles) {
            value.clearData();
        }
    }
}

QHash<int, QByteArray> ChanSaveListModel::roleNames() const {
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(NameRole, "name");
    names.insert(StandingRole, "standing");
    names.insert(KeywordRole, "keyword");
    names.insert(PingRole, "ping");
    names.insert(RankRole, "rank");
    names.insert(HeadingRole, "heading");
    names.insert(FoldedRole, "folded");
    return names;
}
