// The rows the model shows, and what each row answers: a member read from
// its entry, or a rank's heading.

#include "tavrin_widgets/chan_save_list_model.h"

#include "chan_save_list_model_p.h"
#include "channel_list/entry_text.h"
#include "member_in_words.h"
#include "utf16_text.h"

#include <QLocale>

using tavrin::Rank;
using tavrin::detail::RowContent;
using tavrin::detail::toQString;

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
        // Whether a row is a heading, and its rank, are known without reading
        // the entry: views ask them of every row they paint or pass over.
        bool readsEntry = false;
        for (QModelRoleData& value : roles) {
            if (value.role() == HeadingRole) {
                value.setData(false);
            } else if (value.role() == RankRole) {
                // Rows under headings know their rank; the list keeps it too.
                const Rank rank = d->grouped() ? row.rank
                                               : d->list.rankAt(d->list.shownEntry(
                                                     static_cast<tavrin::Position>(row.shownPosition)));
                value.setData(static_cast<int>(rank));
            } else {
                readsEntry = true;
            }
        }
        if (!readsEntry) {
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
