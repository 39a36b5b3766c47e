#include "tavrin_widgets/chan_save_list_model.h"

#include "chan_save_list_model_p.h"
#include "channel_list/entry_text.h"
#include "channel_list/tavrin.h"
#include "failure.h"
#include "member_in_words.h"
#include "utf16_text.h"

#include <optional>

using tavrin::detail::RankHeadingRows;
using tavrin::detail::RowContent;
using tavrin::detail::toQString;
using tavrin::detail::utf16;

using tavrin::Position;
using tavrin::Rank;

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
            {
                // No one reads the rows until the reset ends: the rank order
                // is built once, from every member, rather than kept on each
                // add, unless there is no room to build it so.
                std::optional<tavrin::RankIndexPutOff> builtOnce;
                try {
                    builtOnce.emplace(d->list);
                } catch (...) {
                }
                addAll();
            }
            d->resetting = false;
            d->countHeadings();
            endResetModel();
        });
    }
    if (!failure.isNull()) {
        Q_EMIT failed(failure);
    }
}

void ChanSaveListModel::TavrinDel(const QString& username) {
    const int before = d->list.count();
    d->change([&] { tavrin::TavrinDel(d->list, utf16(username)); });
    if (d->list.count() < before) {
        Q_EMIT memberLeft(username);
    }
}

void ChanSaveListModel::clear() {
    d->change([&] { d->list.clear(); });
}

bool ChanSaveListModel::contains(const QString& username) const {
    try {
        return d->list.find(utf16(username)).has_value();
    } catch (...) {
        Q_EMIT const_cast<ChanSaveListModel*>(this)->failed(tavrin::detail::failureInWords());
        return false;
    }
}

QString ChanSaveListModel::listedName(const QString& username) const {
    try {
        const auto position = d->list.find(utf16(username));
        return position ? toQString(tavrin::entryFields(d->list.text(*position)).name) : QString();
    } catch (...) {
        Q_EMIT const_cast<ChanSaveListModel*>(this)->failed(tavrin::detail::failureInWords());
        return {};
    }
}

void ChanSaveListModel::setSearch(const QString& text) {
    if (text == d->search) {
        return;
    }
    bool changed = false;
    d->change([&] {
        d->relayout([&] { d->list.setSearch(utf16(text)); });
        d->search = text; // shares the text, and cannot fail
        changed = true;
    });
    if (changed) {
        Q_EMIT searchChanged(text);
    }
}

QString ChanSaveListModel::search() const {
    return d->search;
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
    if (order == d->list.shownOrder()) {
        Q_EMIT shownOrderChanged(order);
    }
}

tavrin::ShownOrder ChanSaveListModel::shownOrder() const {
    return d->list.shownOrder();
}

void ChanSaveListModel::setRankHeadingsShown(bool shown) {
    if (shown != d->headingsShown) {
        d->change([&] { d->relayout([&] { d->headingsShown = shown; }); });
        if (shown == d->headingsShown) {
            Q_EMIT rankHeadingsShownChanged(shown);
        }
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
        Q_EMIT const_cast<ChanSaveListModel*>(this)->failed(tavrin::detail::failureInWords());
        names.clear();
    }
    return names;
}

tavrin::RankIndexHold ChanSaveListModel::nameIndexHold() {
    try {
        return tavrin::RankIndexHold(d->list);
    } catch (...) {
        Q_EMIT failed(tavrin::detail::failureInWords());
        return {};
    }
}

void ChanSaveListModel::holdNameIndex() const {
    try {
        d->list.holdRankIndex();
    } catch (...) {
        Q_EMIT const_cast<ChanSaveListModel*>(this)->failed(tavrin::detail::failureInWords());
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
                value.setData(tavrin::detail::memberInWords(toQString(fields.name), standing,
                                                            toQString(fields.keyword),
                                                            tavrin::readPing(fields.pingField).milliseconds));
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
