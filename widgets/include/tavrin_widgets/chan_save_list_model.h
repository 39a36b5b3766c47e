#pragma once

#include "tavrin_widgets/export.h"

#include "channel_list/chan_save_list.h"

#include <QAbstractListModel>

// Presents a channel list to Qt's item views, one row per entry text that the
// list's search shows, which is every entry unless a search narrows it. The
// model owns the list, so the list is the one copy of the members; changes to
// it arrive as row insertions and removals, and a view keeps its selection and
// scroll position while members come and go.
class TAVRIN_WIDGETS_EXPORT ChanSaveListModel : public QAbstractListModel,
                                                private tavrin::ChanSaveListObserver {
    Q_OBJECT

public:
    // Beside the entry text, each row answers with the member in words, as its
    // tooltip and accessible text, and with the member's name.
    enum Role { NameRole = Qt::UserRole };

    explicit ChanSaveListModel(QObject* parent = nullptr);
    ~ChanSaveListModel() override;

    tavrin::ChanSaveList& list() { return list_; }
    const tavrin::ChanSaveList& list() const { return list_; }

    // How many members carry the operator keyword.
    int operatorCount() const { return operatorCount_; }

    // Shows only the members whose name contains the text, compared as the
    // list compares names; an empty text shows everyone. The rows change as
    // one layout change, and the current and selected members that are still
    // shown stay so.
    void setSearch(const QString& text);

    QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void aboutToInsert(tavrin::Position position, tavrin::Position shownPosition) override;
    void inserted(tavrin::Position position, tavrin::Position shownPosition) override;
    void aboutToRemove(tavrin::Position position, tavrin::Position shownPosition) override;
    void removed(tavrin::Position position, tavrin::Position shownPosition) override;
    void aboutToClear() override;
    void cleared() override;
    void countOperator(tavrin::Position position, int change);

    tavrin::ChanSaveList list_;
    int operatorCount_ = 0;
};
