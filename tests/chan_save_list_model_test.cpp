#include "tavrin_widgets/chan_save_list_model.h"

#include "channel_list/tavrin.h"
#include "uniform_row_list_view.h"

#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(ChanSaveListModel, KeepsItsContractThroughEveryChange) {
    ChanSaveListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    auto& list = model.list();
    const char16_t* names[] = {u"a", u"B", u"c", u"D", u"e"};
    for (int round = 0; round < 4; ++round) {
        for (const auto* name : names) {
            tavrin::TavrinAdd(list, name, u"RATS", round % 2 == 0 ? 0 : 0x02, round);
        }
        tavrin::TavrinDel(list, u"C");
        tavrin::TavrinAdd(list, u"b", u"PO", 0, 1);
    }
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.index(0).data().toString(), "[ICON]OP[/ICON][USER]b[/USER][PING]1[/PING]");
    EXPECT_FALSE(model.index(0).data(Qt::DecorationRole).isValid()) << "entries have no image";
    EXPECT_EQ(resets.count(), 0) << "changes arrive as row insertions and removals";
}

TEST(ChanSaveListModel, AnswersOnlyForItsOwnRows) {
    ChanSaveListModel model;
    tavrin::TavrinAdd(model.list(), u"a", u"RATS", 0, 1);
    tavrin::TavrinAdd(model.list(), u"b", u"RATS", 0, 1);
    const QModelIndex member = model.index(0);
    const struct {
        int row;
        int column;
        QModelIndex parent;
        bool valid;
    } cases[] = {
        {0, 0, {}, true},   {1, 0, {}, true},  {2, 0, {}, false},
        {-1, 0, {}, false}, {0, 1, {}, false}, {0, 0, member, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(model.index(c.row, c.column, c.parent).isValid(), c.valid) << c.row << "," << c.column;
    }
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowCount(member), 0) << "a member has no rows below it";
    EXPECT_EQ(model.index(1).data(ChanSaveListModel::NameRole).toString(), "b");
}

TEST(ChanSaveListModel, ViewKeepsItsSelectionAndScrollWhileMembersComeAndGo) {
    ChanSaveListModel model;
    UniformRowListView view;
    view.setModel(&model);
    view.resize(200, 100);
    view.show();
    auto& list = model.list();
    for (int index = 0; index < 60; ++index) {
        tavrin::TavrinAdd(list, QString("m%1").arg(index).toStdU16String(), u"RATS", 0, 1);
    }
    view.setCurrentIndex(model.index(30));
    view.verticalScrollBar()->setValue(20);
    tavrin::TavrinAdd(list, u"op", u"RATS", 0x02, 1);
    tavrin::TavrinDel(list, u"m0");
    tavrin::TavrinDel(list, u"m59");
    tavrin::TavrinAdd(list, u"m5", u"RATS", 0, 1);
    tavrin::TavrinAdd(list, u"d", u"RATS", 0, 1);
    EXPECT_EQ(view.currentIndex().data().toString(), "[ICON]STAR[/ICON][USER]m30[/USER][PING]1[/PING]");
    EXPECT_TRUE(view.selectionModel()->isSelected(view.currentIndex()));
    EXPECT_EQ(view.indexAt(QPoint(1, 1)).data(ChanSaveListModel::NameRole).toString(), "m20")
        << "the rows in view stay put";
    EXPECT_EQ(view.verticalScrollBar()->maximum(),
              60 - view.viewport()->height() / view.visualRect(model.index(0)).height());
}

} // namespace
