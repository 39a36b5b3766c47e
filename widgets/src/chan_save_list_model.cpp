#include "tavrin_widgets/chan_save_list_model.h"

#include "channel_list/entry_text.h"
#include "tavrin_widgets/member_in_words.h"
#include "utf16_text.h"

ChanSaveListModel::ChanSaveListModel(QObject* parent) : QAbstractListModel(parent) {
    list_.setObserver(this);
}

ChanSaveListModel::~ChanSaveListModel() {
    list_.setObserver(nullptr);
}

// Views ask for indexes all the time; this answers without the
// base class's round of virtual calls.
QModelIndex ChanSaveListModel::index(int row, int column, const QModelIndex& parent) const {
    const bool inRange = row >= 0 && row < list_.shownCount() && column == 0 && !parent.isValid();
    return inRange ? createIndex(row, 0) : QModelIndex();
}

int ChanSaveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.shownCount();
}

QVariant ChanSaveListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const std::u16string_view text =
        list_.text(list_.shownEntry(static_cast<tavrin::Position>(index.row() + 1)));
    switch (role) {
    case Qt::DisplayRole:
        return toQString(text);
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return memberInWords(text);
    case NameRole:
        return toQString(tavrin::entryFields(text).name);
    default:
        return {};
    }
}

void ChanSaveListModel::countOperator(tavrin::Position position, int change) {
    if (tavrin::entryFields(list_.text(position)).keyword == tavrin::operatorKeyword) {
        operatorCount_ += change;
    }
}

// Members the search hides come and go without a row.
void ChanSaveListModel::aboutToInsert(tavrin::Position, tavrin::Position shownPosition) {
    if (shownPosition > 0) {
        beginInsertRows({}, shownPosition - 1, shownPosition - 1);
    }
}

void ChanSaveListModel::inserted(tavrin::Position position, tavrin::Position shownPosition) {
    countOperator(position, +1);
    if (shownPosition > 0) {
        endInsertRows();
    }
}

void ChanSaveListModel::aboutToRemove(tavrin::Position position, tavrin::Position shownPosition) {
    countOperator(position, -1);
    if (shownPosition > 0) {
        beginRemoveRows({}, shownPosition - 1, shownPosition - 1);
    }
}

void ChanSaveListModel::removed(tavrin::Position, tavrin::Position shownPosition) {
    if (shownPosition > 0) {
        endRemoveRows();
    }
}

// The rows that views hold on to, the current and selected ones, follow
// their members into the new rows, or go when the search hides them.
void ChanSaveListModel::setSearch(const QString& text) {
    emit layoutAboutToBeChanged();
    try {
        const QModelIndexList before = persistentIndexList();
        std::vector<tavrin::Position> positions;
        positions.reserve(static_cast<std::size_t>(before.size()));
        for (const QModelIndex& index : before) {
            positions.push_back(list_.shownEntry(static_cast<tavrin::Position>(index.row() + 1)));
        }
        QModelIndexList after;
        after.reserve(before.size());
        list_.setSearch(utf16(text)); // nothing after this fails
        for (const tavrin::Position position : positions) {
            const tavrin::Position shown = list_.shownPositionOf(position);
            after << (shown > 0 ? createIndex(shown - 1, 0) : QModelIndex());
        }
        changePersistentIndexList(before, after);
    } catch (...) {
        emit layoutChanged();
        throw;
    }
    emit layoutChanged();
}

// One reset, not a removal for every member, when the channel changes.
void ChanSaveListModel::aboutToClear() {
    beginResetModel();
}

void ChanSaveListModel::cleared() {
    operatorCount_ = 0;
    endResetModel();
}
