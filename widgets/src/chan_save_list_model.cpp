#include "tavrin_widgets/chan_save_list_model.h"

#include "channel_list/entry_text.h"
#include "channel_list/tavrin.h"
#include "failure.h"
#include "member_in_words.h"
#include "utf16_text.h"

using tavrin::detail::toQString;
using tavrin::detail::utf16;

namespace {

// The list counts its positions from 1, a model its rows from 0.
int rowOf(tavrin::Position shownPosition) {
    return shownPosition - 1;
}

tavrin::Position shownPositionOf(int row) {
    return static_cast<tavrin::Position>(row + 1);
}

} // namespace

// Hears the list's changes and turns them into the model's row changes. It
// runs inside the list's changes, which cannot fail: nothing here allocates
// but Qt's own signals.
class ChanSaveListModelPrivate final : private tavrin::ChanSaveListObserver {
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

    std::u16string_view textInRow(int row) const { return list.text(list.shownEntry(shownPositionOf(row))); }

    ChanSaveListModel& q;
    tavrin::ChanSaveList list;
    int operators = 0;
    int toldMembers = 0;
    int toldOperators = 0;
    int toldShown = 0;

private:
    void countOperator(tavrin::Position position, int change) noexcept {
        if (tavrin::entryFields(list.text(position)).keyword == tavrin::operatorKeyword) {
            operators += change;
        }
    }

    // Members the search hides come and go without a row.
    void aboutToInsert(tavrin::Position, tavrin::Position shownPosition) override {
        if (shownPosition > 0) {
            q.beginInsertRows({}, rowOf(shownPosition), rowOf(shownPosition));
        }
    }

    void inserted(tavrin::Position position, tavrin::Position shownPosition) override {
        countOperator(position, +1);
        if (shownPosition > 0) {
            q.endInsertRows();
        }
    }

    void aboutToRemove(tavrin::Position position, tavrin::Position shownPosition) override {
        countOperator(position, -1);
        if (shownPosition > 0) {
            q.beginRemoveRows({}, rowOf(shownPosition), rowOf(shownPosition));
        }
    }

    void removed(tavrin::Position, tavrin::Position shownPosition) override {
        if (shownPosition > 0) {
            q.endRemoveRows();
        }
    }

    // One reset, not a removal for every member, when the channel changes.
    void aboutToClear() override { q.beginResetModel(); }

    void cleared() override {
        operators = 0;
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

void ChanSaveListModel::TavrinAdd(const QString& username, const QString& Message, qint32 Flags,
                                  qint32 Ping) {
    d->change([&] { tavrin::TavrinAdd(d->list, utf16(username), utf16(Message), Flags, Ping); });
}

void ChanSaveListModel::TavrinDel(const QString& username) {
    d->change([&] { tavrin::TavrinDel(d->list, utf16(username)); });
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

// The rows that views hold on to, the current and selected ones, follow
// their members into the new rows, or go when the search hides them.
void ChanSaveListModel::setSearch(const QString& text) {
    d->change([&] {
        // Views hold their selection as persistent indexes from here on.
        emit layoutAboutToBeChanged();
        try {
            const QModelIndexList before = persistentIndexList();
            std::vector<tavrin::Position> positions;
            positions.reserve(static_cast<std::size_t>(before.size()));
            for (const QModelIndex& index : before) {
                positions.push_back(d->list.shownEntry(shownPositionOf(index.row())));
            }
            QModelIndexList after;
            after.reserve(before.size());
            d->list.setSearch(utf16(text)); // nothing after this fails
            for (const tavrin::Position position : positions) {
                const tavrin::Position shown = d->list.shownPositionOf(position);
                after << (shown > 0 ? createIndex(rowOf(shown), 0) : QModelIndex());
            }
            changePersistentIndexList(before, after);
        } catch (...) {
            emit layoutChanged();
            throw;
        }
        emit layoutChanged();
    });
}

// Views ask for indexes all the time; this answers without the
// base class's round of virtual calls.
QModelIndex ChanSaveListModel::index(int row, int column, const QModelIndex& parent) const {
    const bool inRange = row >= 0 && row < d->list.shownCount() && column == 0 && !parent.isValid();
    return inRange ? createIndex(row, 0) : QModelIndex();
}

int ChanSaveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : d->list.shownCount();
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
        const std::u16string_view text = d->textInRow(index.row());
        const tavrin::EntryFields fields = tavrin::entryFields(text);
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
                value.setData(static_cast<int>(tavrin::standingOf(fields.keyword)));
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
    return names;
}
