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
    const bool inRange = row >= 0 && row < list_.count() && column == 0 && !parent.isValid();
    return inRange ? createIndex(row, 0) : QModelIndex();
}

int ChanSaveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.count();
}

QVariant ChanSaveListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const std::u16string_view text = list_.text(static_cast<tavrin::Position>(index.row() + 1));
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

void ChanSaveListModel::aboutToInsert(tavrin::Position position) {
    beginInsertRows({}, position - 1, position - 1);
}

void ChanSaveListModel::inserted(tavrin::Position position) {
    countOperator(position, +1);
    endInsertRows();
}

void ChanSaveListModel::aboutToRemove(tavrin::Position position) {
    countOperator(position, -1);
    beginRemoveRows({}, position - 1, position - 1);
}

void ChanSaveListModel::removed(tavrin::Position) {
    endRemoveRows();
}

// One reset, not a removal for every member, when the channel changes.
void ChanSaveListModel::aboutToClear() {
    beginResetModel();
}

void ChanSaveListModel::cleared() {
    operatorCount_ = 0;
    endResetModel();
}
