#include "tavrin_widgets/chan_save_list_model.h"

#include "channel_list/standing.h"
#include "reference_channel_list.h"
#include "type_ahead.h"
#include "uniform_row_list_view.h"
#include "widget_checks.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <random>

namespace {

using tavrin::detail::UniformRowListView;

TEST(ChanSaveListModel, KeepsItsContractThroughEveryChange) {
    ChanSaveListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    for (int round = 0; round < 4; ++round) {
        for (const char* name : {"a", "B", "c", "D", "e"}) {
            model.TavrinAdd(name, "RATS", round % 2 == 0 ? 0 : 0x02, round);
        }
        model.TavrinDel("C");
        model.TavrinAdd("b", "PO", 0, 1);
    }
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.index(0).data().toString(), "[ICON]OP[/ICON][USER]b[/USER][PING]1[/PING]");
    EXPECT_FALSE(model.index(0).data(Qt::DecorationRole).isValid()) << "entries have no image";
    EXPECT_EQ(resets.count(), 0) << "changes arrive as rows inserted, moved, changed and removed";
}

// The rows as a view learns them, only from the model's signals.
class RowMirror {
public:
    explicit RowMirror(const QAbstractItemModel& model) : model_(model) {
        QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                         [this](const QModelIndex&, int first, int last) {
                             for (int row = first; row <= last; ++row) {
                                 rows.insert(row, model_.index(row, 0).data().toString());
                             }
                         });
        QObject::connect(
            &model, &QAbstractItemModel::rowsRemoved,
            [this](const QModelIndex&, int first, int last) { rows.remove(first, last - first + 1); });
        QObject::connect(&model, &QAbstractItemModel::rowsMoved,
                         [this](const QModelIndex&, int first, int last, const QModelIndex&, int to) {
                             for (int row = first; row <= last; ++row) { // one at a time
                                 rows.move(first, to > first ? to - 1 : to + row - first);
                             }
                         });
        QObject::connect(&model, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex& from, const QModelIndex& to) {
                             for (int row = from.row(); row <= to.row(); ++row) {
                                 rows[row] = model_.index(row, 0).data().toString();
                             }
                         });
        const auto reread = [this] {
            rows.clear();
            for (int row = 0; row < model_.rowCount(); ++row) {
                rows << model_.index(row, 0).data().toString();
            }
        };
        QObject::connect(&model, &QAbstractItemModel::layoutChanged, reread);
        QObject::connect(&model, &QAbstractItemModel::modelReset, reread);
    }
    QStringList rows;

private:
    const QAbstractItemModel& model_;
};

// Random changes, searches, order switches, headings and folds: the rows a
// view follows are always what a plain filter and sort of the reference list
// give, with each rank's heading and count above its members.
TEST(ChanSaveListModel, RowsMatchThePlainlySortedReferenceList) {
    const char16_t* names[] = {u"zorv", u"ZORV", u"druvo", u"a", u"A", u"\u00E9", u"b\U0001F600", u"b\uFF21"};
    const char16_t* searches[] = {u"", u"z", u"b", u"a"};
    const std::int32_t flagChoices[] = {0, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x100000, 0x200000};
    const char* headings[] = {"Blizzard representatives",
                              "System operators",
                              "Operators",
                              "Speakers",
                              "GF officials",
                              "GF players",
                              "Members",
                              "Guests",
                              "Squelched"};
    std::mt19937 random(20261210);
    for (int sequence = 0; sequence < 300; ++sequence) {
        ChanSaveListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        RowMirror mirror(model);
        tavrin::testing::ReferenceChannelList reference;
        std::u16string search;
        unsigned folded = 0;
        for (int step = 0; step < 60; ++step) {
            const char16_t* name = names[random() % std::size(names)];
            switch (random() % 12) {
            case 0:
                search = searches[random() % std::size(searches)];
                model.setSearch(QString::fromStdU16String(search));
                break;
            case 1:
                model.setShownOrder(model.shownOrder() == tavrin::ShownOrder::list
                                        ? tavrin::ShownOrder::rankThenName
                                        : tavrin::ShownOrder::list);
                break;
            case 2:
                model.setRankHeadingsShown(!model.rankHeadingsShown());
                break;
            case 3:
            case 4: {
                const auto rank = static_cast<tavrin::Rank>(random() % tavrin::rankCount);
                folded ^= 1U << static_cast<unsigned>(rank);
                model.setRankFolded(rank, !model.isRankFolded(rank));
                break;
            }
            case 5:
            case 6:
                model.TavrinDel(QString::fromStdU16String(name));
                reference.del(name);
                break;
            default: {
                const auto Flags = flagChoices[random() % std::size(flagChoices)];
                model.TavrinAdd(QString::fromStdU16String(name), "RATS", Flags, step);
                reference.add(name, u"RATS", Flags, step);
            }
            }
            const bool ranked = model.shownOrder() == tavrin::ShownOrder::rankThenName;
            auto shown = tavrin::testing::filtered(reference.texts(), search);
            QStringList expected;
            if (ranked) {
                shown = tavrin::testing::byRankThenName(shown);
            }
            for (int rank = -1, at = 0; at < static_cast<int>(shown.size()); ++at) {
                const int rankHere = static_cast<int>(tavrin::testing::rankOfText(shown[at]));
                const bool grouped = ranked && model.rankHeadingsShown();
                if (grouped && rankHere != rank) {
                    rank = rankHere;
                    const auto members = std::count_if(shown.begin(), shown.end(), [&](const auto& text) {
                        return static_cast<int>(tavrin::testing::rankOfText(text)) == rank;
                    });
                    expected << QString("%1 \u2014 %2").arg(headings[rank]).arg(members);
                }
                if (!grouped || (folded & (1U << rankHere)) == 0) {
                    expected << QString::fromStdU16String(shown[at]);
                }
            }
            ASSERT_EQ(mirror.rows, expected) << "sequence " << sequence << " step " << step;
            ASSERT_EQ(model.memberCount(), static_cast<int>(reference.texts().size()))
                << "headings are not members";
        }
    }
}

TEST(ChanSaveListModel, AnswersOnlyForItsOwnRows) {
    ChanSaveListModel model;
    model.TavrinAdd("a", "RATS", 0, 1);
    model.TavrinAdd("b", "RATS", 0, 1);
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

// The roles say what the list reads from each entry, under the names that QML
// and other clients look them up by; the counts are told after each change.
TEST(ChanSaveListModel, AnswersItsRolesAndTellsItsCounts) {
    ChanSaveListModel model;
    QSignalSpy members(&model, &ChanSaveListModel::memberCountChanged);
    QSignalSpy operators(&model, &ChanSaveListModel::operatorCountChanged);
    QSignalSpy shown(&model, &ChanSaveListModel::shownCountChanged);
    model.TavrinAdd("Zorv", "RATS", 0, 47);
    model.TavrinAdd("Kestrel", "PX3W", 0x02 | 0x10, 5);
    const struct {
        int role;
        const char* name;
        QVariant operatorValue; // row 0, an operator without UDP
        QVariant memberValue;   // row 1
    } roles[] = {
        {ChanSaveListModel::NameRole, "name", "Kestrel", "Zorv"},
        {ChanSaveListModel::StandingRole, "standing", static_cast<int>(tavrin::Standing::channelOperator),
         static_cast<int>(tavrin::Standing::product)},
        {ChanSaveListModel::KeywordRole, "keyword", "OP", "STAR"},
        {ChanSaveListModel::RankRole, "rank", static_cast<int>(tavrin::Rank::channelOperator),
         static_cast<int>(tavrin::Rank::member)},
        {ChanSaveListModel::PingRole, "ping", QVariant(), qlonglong{47}},
    };
    for (const auto& r : roles) {
        EXPECT_EQ(model.roleNames().value(r.role), r.name);
        EXPECT_EQ(model.index(0).data(r.role), r.operatorValue) << r.name;
        EXPECT_EQ(model.index(1).data(r.role), r.memberValue) << r.name;
    }
    EXPECT_EQ(model.index(1).data(Qt::DisplayRole).toString(),
              "[ICON]STAR[/ICON][USER]Zorv[/USER][PING]47[/PING]");
    EXPECT_EQ(model.index(0).data(Qt::ToolTipRole).toString(), "Kestrel, operator, no UDP");

    model.setSearch("zo");
    model.TavrinDel("kestrel");
    const auto told = [](const QSignalSpy& spy) {
        QList<int> counts;
        for (const auto& signal : spy) {
            counts << signal.value(0).toInt();
        }
        return counts;
    };
    EXPECT_EQ(told(members), (QList<int>{1, 2, 1}));
    EXPECT_EQ(told(operators), (QList<int>{1, 0}));
    EXPECT_EQ(told(shown), (QList<int>{1, 2, 1}));
}

// A newcomer turned away from a full list is told of, one at a time or in a
// join; a refresh of a listed member is no failure.
TEST(ChanSaveListModel, TellsAnAddThatListsNoOne) {
    ChanSaveListModel model;
    QSignalSpy failed(&model, &ChanSaveListModel::failed);
    QList<ChanSaveListModel::Member> channel;
    for (int index = 0; index <= tavrin::ChanSaveList::maxCount; ++index) {
        channel.append({QString("m%1").arg(index), "RATS", 0, index});
    }
    model.addMembers(channel);
    model.TavrinAdd("newcomer", "RATS", 0, 1);
    model.TavrinAdd("M5", "RATS", 0x02, 1);
    EXPECT_EQ(model.memberCount(), tavrin::ChanSaveList::maxCount);
    EXPECT_EQ(model.index(0).data(ChanSaveListModel::NameRole).toString(), "M5") << "refreshed";
    EXPECT_EQ(failed.count(), 2) << "the last of the join, and the newcomer";
    EXPECT_EQ(failed.value(1).value(0).toString(), "the channel list is full");
}

TEST(ChanSaveListModel, ViewKeepsItsSelectionAndScrollWhileMembersComeAndGo) {
    ChanSaveListModel model;
    UniformRowListView view;
    view.setModel(&model);
    view.resize(200, 100);
    view.show();
    for (int index = 0; index < 60; ++index) {
        model.TavrinAdd(QString("m%1").arg(index), "RATS", 0, 1);
    }
    view.setCurrentIndex(model.index(30));
    view.verticalScrollBar()->setValue(20);
    model.TavrinAdd("op", "RATS", 0x02, 1);
    model.TavrinDel("m0");
    model.TavrinDel("m59");
    model.TavrinAdd("m5", "RATS", 0, 1);
    model.TavrinAdd("d", "RATS", 0, 1);
    EXPECT_EQ(view.currentIndex().data().toString(), "[ICON]STAR[/ICON][USER]m30[/USER][PING]1[/PING]");
    EXPECT_TRUE(view.selectionModel()->isSelected(view.currentIndex()));
    EXPECT_EQ(view.indexAt(QPoint(1, 1)).data(ChanSaveListModel::NameRole).toString(), "m20")
        << "the rows in view stay put";
    EXPECT_EQ(view.verticalScrollBar()->maximum(),
              60 - view.viewport()->height() / view.visualRect(model.index(0)).height());
}

// A shown list of 60 members whose viewport holds five and a half rows.
class ListView : public ::testing::Test {
protected:
    ListView() {
        view.setModel(&model);
        for (int index = 0; index < 60; ++index) {
            add(QString("m%1").arg(index));
        }
        view.show();
        QCoreApplication::processEvents();
        rowHeight = view.visualRect(model.index(0)).height();
        view.resize(200, view.height() - view.viewport()->height() + rowHeight * 11 / 2);
        QCoreApplication::processEvents();
    }

    void add(const QString& name) { model.TavrinAdd(name, "RATS", 0, 1); }
    int fullRows() const { return view.viewport()->height() / rowHeight; }
    int topRow() const { return view.indexAt(QPoint(1, 1)).row(); }
    // What reached the screen over the viewport differs from a fresh render.
    bool screenIsStale() {
        QCoreApplication::processEvents();
        return ::screenIsStale(*view.viewport());
    }

    ChanSaveListModel model;
    UniformRowListView view;
    int rowHeight = 0;
};

TEST_F(ListView, ScrollsAndMeasuresAsItsRowsSay) {
    ASSERT_EQ(fullRows(), 5);
    EXPECT_EQ(view.verticalScrollBar()->pageStep(), 5) << "a page is the rows fully in view";
    view.scrollTo(model.index(30), QAbstractItemView::PositionAtCenter);
    EXPECT_EQ(topRow(), 28);
    view.setCurrentIndex(model.index(57));
    QTest::keyClick(&view, Qt::Key_PageDown);
    EXPECT_EQ(view.currentIndex().row(), 59) << "Page Down in the last page reaches the last row";

    for (int index = 60; index < 70; ++index) {
        add(QString("m%1").arg(index));
    }
    model.TavrinDel("m3");
    QCoreApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 69 - 5) << "the range follows the count";

    QFont larger = view.font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    view.setFont(larger);
    EXPECT_GT(view.visualRect(model.index(0)).height(), rowHeight) << "a larger font makes taller rows";
}

TEST_F(ListView, WhatEachChangeShowsReachesTheScreen) {
    // The sixth row shows half of itself.
    const QImage rows = view.viewport()->grab().toImage();
    EXPECT_GT(darkPixels(rows, QRect(0, rowHeight * 5, rows.width(), rowHeight / 2)), 0)
        << "the bottom row, partly in view, is painted";

    ASSERT_FALSE(screenIsStale());
    view.selectionModel()->select(model.index(2), QItemSelectionModel::ClearAndSelect);
    EXPECT_FALSE(screenIsStale()) << "a newly selected row is painted";
    view.verticalScrollBar()->setValue(3);
    EXPECT_FALSE(screenIsStale()) << "after scrolling by the bar";
    QWheelEvent wheel(QPointF(10, 10), view.viewport()->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    EXPECT_GT(topRow(), 3);
    EXPECT_FALSE(screenIsStale()) << "after the wheel";
    view.setCurrentIndex(model.index(topRow()));
    QTest::keyClick(&view, Qt::Key_PageDown);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_FALSE(screenIsStale()) << "after the keys";
}

// Scrolled by pixels, half a row down: an operator entering at the top row,
// which is partly in view, pushes the view down with it.
TEST_F(ListView, RowsInViewStayPutWhenScrolledByPixels) {
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view.verticalScrollBar()->setValue(rowHeight / 2);
    QCoreApplication::processEvents();
    const QString second = view.indexAt(QPoint(1, rowHeight)).data(ChanSaveListModel::NameRole).toString();
    model.TavrinAdd("op", "RATS", 0x02, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.indexAt(QPoint(1, rowHeight)).data(ChanSaveListModel::NameRole).toString(), second);
    EXPECT_EQ(view.verticalScrollBar()->value(), rowHeight / 2 + rowHeight);
    EXPECT_FALSE(screenIsStale());
}

struct Typing {
    const char* what;
    QStringList typing; // each after a pause, its letters in quick succession
    int current;
};

void PrintTo(const Typing& t, std::ostream* out) {
    *out << t.what;
}

class TypeAheadInTheView : public ListView, public ::testing::WithParamInterface<Typing> {};

TEST_P(TypeAheadInTheView, GoesOnBelowTheCurrentMember) {
    model.clear();
    for (const char* name : {"mira", "mike", "zed", "milo"}) {
        add(name);
    }
    view.setKeyboardSearchRole(ChanSaveListModel::NameRole);
    view.setCurrentIndex(model.index(0));
    for (const QString& keys : GetParam().typing) {
        view.typeAhead().setPause(std::chrono::milliseconds(0));
        QTest::keyClicks(&view, keys.left(1));
        view.typeAhead().setPause(std::chrono::hours(1));
        QTest::keyClicks(&view, keys.mid(1));
    }
    EXPECT_EQ(view.currentIndex().row(), GetParam().current);
}

// Which text is looked for is type-ahead's own; the view looks for it from
// the right row.
INSTANTIATE_TEST_SUITE_P(ListView, TypeAheadInTheView,
                         ::testing::Values(Typing{"the same letter again steps on", {"mm"}, 3},
                                           Typing{
                                               "after the pause, a new search starts below", {"mi", "m"}, 3},
                                           Typing{"a search goes on round to the top", {"z", "mik"}, 1}));

} // namespace
