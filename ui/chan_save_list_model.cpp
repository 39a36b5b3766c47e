#include "tavrin_widgets/chan_save_list_model.h"

ChanSaveListModel::ChanSaveListModel(QObject* parent) : QAbstractListModel(parent) {
    list_.setObserver(this);
}

ChanSaveListModel::~ChanSaveListModel() {
    list_.setObserver(nullptr);
}

int ChanSaveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.count();
}

QVariant ChanSaveListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        role != Qt::DisplayRole) {
        return {};
    }
    return QString::fromStdU16String(list_.text(static_cast<tavrin::Position>(index.row() + 1)));
}

void ChanSaveListModel::aboutToInsert(tavrin::Position position) {
    beginInsertRows({}, position - 1, position - 1);
}

void ChanSaveListModel::inserted(tavrin::Position) {
    endInsertRows();
}

void ChanSaveListModel::aboutToRemove(tavrin::Position position) {
    beginRemoveRows({}, position - 1, position - 1);
}

void ChanSaveListModel::removed(tavrin::Position) {
    endRemoveRows();
}
