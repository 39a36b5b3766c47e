#include "tavrin_widgets/chan_save_list_model.h"

#include "channel_list/tavrin.h"

#include <QAbstractItemModelTester>
#include <QListView>
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

TEST(ChanSaveListModel, ViewKeepsItsSelectionWhileMembersComeAndGo) {
    ChanSaveListModel model;
    QListView view;
    view.setModel(&model);
    auto& list = model.list();
    for (const auto* name : {u"a", u"b", u"c"}) {
        tavrin::TavrinAdd(list, name, u"RATS", 0, 1);
    }
    view.setCurrentIndex(model.index(1)); // b
    tavrin::TavrinAdd(list, u"op", u"RATS", 0x02, 1);
    tavrin::TavrinDel(list, u"a");
    tavrin::TavrinAdd(list, u"d", u"RATS", 0, 1);
    EXPECT_EQ(view.currentIndex().data().toString(), "[ICON]STAR[/ICON][USER]b[/USER][PING]1[/PING]");
    EXPECT_TRUE(view.selectionModel()->isSelected(view.currentIndex()));
}

} // namespace
