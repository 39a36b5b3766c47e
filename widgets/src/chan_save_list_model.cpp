#include "tavrin_widgets/chan_save_list_model.h"

#include "chan_save_list_model_p.h"
#include "channel_list/entry_text.h"
#include "channel_list/tavrin.h"
#include "failure.h"
#include "utf16_text.h"

#include <optional>

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
