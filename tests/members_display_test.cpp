// The members display: every badge and meter state drawn distinctly, the
// activation signal, and the switch between displays.

#include "member_painting.h"
#include "members_delegate.h"
#include "tavrin_widgets/chan_save_list_model.h"
#include "tavrin_widgets/frm_tavrin.h"
#include "uniform_row_list_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QIdentityProxyModel>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <span>

namespace {

using tavrin::Standing;
using tavrin::detail::MembersDelegate;
using tavrin::detail::UniformRowListView;

// A member as the model's roles give it.
struct Member {
    Standing standing;
    const char* keyword;
    std::optional<qint64> ping; // none without UDP
    const char* name = "Zorv";
};

QStandardItem* rowFor(const Member& member) {
    auto* item = new QStandardItem("no tagged text is read");
    item->setData(member.name, ChanSaveListModel::NameRole);
    item->setData(static_cast<int>(member.standing), ChanSaveListModel::StandingRole);
    item->setData(member.keyword, ChanSaveListModel::KeywordRole);
    if (member.ping) {
        item->setData(*member.ping, ChanSaveListModel::PingRole);
    }
    return item;
}

// A row of the members display as painted, 300 by 18 pixels.
QImage paintedRow(const Member& member, bool selected = false,
                  const QPalette& palette = QApplication::palette()) {
    QStandardItemModel model;
    model.appendRow(rowFor(member));
    QWidget host;
    host.setPalette(palette);
    MembersDelegate delegate;
    QStyleOptionViewItem option;
    option.initFrom(&host);
    option.rect = QRect(0, 0, 300, 18);
    option.widget = &host;
    option.state.setFlag(QStyle::State_Selected, selected);
    QImage image(option.rect.size(), QImage::Format_ARGB32);
    image.fill(palette.color(QPalette::Base));
    QPainter painter(&image);
    delegate.paint(&painter, option, model.index(0, 0));
    return image;
}

const Member everyBadgeAndMeter[] = {
    {Standing::channelOperator, "OP", 47},
    {Standing::blizzardRepresentative, "BLIZZ", 47},
    {Standing::systemOperator, "SYSOP", 47},
    {Standing::speaker, "SPKR", 47},
    {Standing::guest, "GLASSES", 47},
    {Standing::squelched, "SQUELCH", 47},
    {Standing::gfOfficial, "GFOFFICIAL", 47},
    {Standing::gfPlayer, "GFPLAYER", 47},
    {Standing::product, "STAR", 47},
    {Standing::product, "W3XP", 47},
    {Standing::none, "", 47},
    {Standing::product, "STAR", std::nullopt},
    {Standing::product, "STAR", -1},
    {Standing::product, "STAR", 250},
    {Standing::product, "STAR", 350},
    {Standing::product, "STAR", 500},
    {Standing::product, "STAR", 900},
};

TEST(MembersDisplay, DrawsEveryBadgeAndMeterStateDistinctly) {
    QList<QImage> rows;
    for (const Member& member : everyBadgeAndMeter) {
        const QImage image = paintedRow(member);
        EXPECT_FALSE(rows.contains(image))
            << member.keyword << " " << member.ping.value_or(-99) << " looks like an earlier row";
        rows << image;
    }
    const QRect badge(0, 0, 40, 18);
    QImage blank(badge.size(), QImage::Format_ARGB32);
    blank.fill(QApplication::palette().color(QPalette::Base));
    EXPECT_NE(rows[0].copy(badge), blank);
    EXPECT_EQ(rows[10].copy(badge), blank) << "an empty keyword shows no badge";
}

TEST(MembersDisplay, EachPingShowsItsBars) {
    using Kind = tavrin::detail::ConnectionQuality::Kind;
    const struct {
        std::optional<qint64> ping;
        Kind kind;
        int bars;
    } pings[] = {{0, Kind::bars, 4},     {199, Kind::bars, 4},          {200, Kind::bars, 3},
                 {299, Kind::bars, 3},   {300, Kind::bars, 2},          {399, Kind::bars, 2},
                 {400, Kind::bars, 1},   {599, Kind::bars, 1},          {600, Kind::bars, 0},
                 {-1, Kind::unknown, 0}, {std::nullopt, Kind::noUdp, 0}};
    for (const auto& p : pings) {
        const auto quality = tavrin::detail::connectionQuality(p.ping);
        EXPECT_EQ(quality.kind, p.kind) << p.ping.value_or(-99);
        EXPECT_EQ(quality.bars, p.bars) << p.ping.value_or(-99);
    }
}

int pixelsNear(const QImage& image, const QRect& area, const QColor& colour, int within = 60) {
    int near = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            near += std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                                std::abs(pixel.blue() - colour.blue()) <
                            within
                        ? 1
                        : 0;
        }
    }
    return near;
}

TEST(MembersDisplay, EachStateShowsInTheRowsPixels) {
    const QRect name(60, 0, 200, 18);
    const QRect meter(278, 0, 22, 18);
    const QPalette palette = QApplication::palette();
    const Member zorv{Standing::product, "STAR", 47};
    EXPECT_GT(pixelsNear(paintedRow(zorv, true), name, palette.color(QPalette::HighlightedText)), 5)
        << "a selected row's name is in the highlighted text colour";
    Member zorx = zorv;
    zorx.name = "Zorx";
    EXPECT_NE(paintedRow(zorv).copy(name), paintedRow(zorx).copy(name))
        << "names that differ after their third letter";
    const struct {
        qint64 ping;
        QColor colour;
    } meters[] = {{47, QColor(0x2E, 0x9E, 0x44)},
                  {250, QColor(0x2E, 0x9E, 0x44)},
                  {350, QColor(0xE0, 0xA8, 0x00)},
                  {500, QColor(0xD0, 0x30, 0x30)},
                  {900, QColor(0xD0, 0x30, 0x30)}};
    for (const auto& m : meters) {
        EXPECT_GT(pixelsNear(paintedRow({Standing::product, "STAR", m.ping}), meter, m.colour), 3) << m.ping;
    }
    EXPECT_GT(pixelsNear(paintedRow({Standing::product, "STAR", -1}), meter, palette.color(QPalette::Text)),
              8)
        << "an unknown ping is struck through";
}

// On a selected row a badge looks as it does on an unselected one, whatever
// the highlight's colour: on light and dark palettes.
TEST(MembersDisplay, EveryBadgeStaysVisibleOnASelectedRow) {
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
    dark.setColor(QPalette::Text, QColor(0xE0, 0xE0, 0xE0));
    dark.setColor(QPalette::Highlight, QColor(0x2F, 0x7F, 0xE0));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    const auto badges = std::span(everyBadgeAndMeter).first(8); // each standing of the icon rules
    const QRect symbol(19, 4, 10, 10);                          // the middle of the badge's square
    for (const QPalette& palette : {QApplication::palette(), dark}) {
        for (const Member& badge : badges) {
            const QImage unselected = paintedRow(badge, false, palette).copy(symbol);
            const QImage selected = paintedRow(badge, true, palette).copy(symbol);
            int differing = 0;
            for (int y = 0; y < symbol.height(); ++y) {
                for (int x = 0; x < symbol.width(); ++x) {
                    differing += unselected.pixel(x, y) != selected.pixel(x, y) ? 1 : 0;
                }
            }
            EXPECT_LE(differing, 5) << badge.keyword << " on "
                                    << qPrintable(palette.color(QPalette::Base).name());
        }
    }
}

// Counts what a view reads of its rows.
class ReadCounter : public QIdentityProxyModel {
public:
    QVariant data(const QModelIndex& index, int role) const override {
        reads += role == ChanSaveListModel::NameRole ? 1 : 0;
        return QIdentityProxyModel::data(index, role);
    }
    mutable int reads = 0;
};

TEST(MembersDisplay, PaintingReadsOnlyTheVisibleRows) {
    QStringListModel model(QStringList(5000, "Zorv"));
    ReadCounter counter;
    counter.setSourceModel(&model);
    UniformRowListView view;
    MembersDelegate delegate;
    view.setItemDelegate(&delegate);
    view.setModel(&counter);
    view.resize(300, 170);
    view.show();
    QCoreApplication::processEvents();
    counter.reads = 0;
    view.viewport()->repaint();
    const int visibleRows = view.viewport()->height() / view.visualRect(counter.index(0, 0)).height() + 1;
    EXPECT_GT(counter.reads, 0);
    EXPECT_LE(counter.reads, visibleRows);
}

class ListWindow : public ::testing::Test {
protected:
    ListWindow() {
        for (int index = 0; index < 60; ++index) {
            window.TavrinAdd(QString("member%1").arg(index), "RATS", 0, index);
        }
        window.TavrinAdd("a[/USER]b", "RATS", 0x02, 1);
        window.show();
        QCoreApplication::processEvents();
    }

    UniformRowListView& list() { return *window.findChild<UniformRowListView*>("lstChanSave"); }

    frmTavrin window;
};

TEST_F(ListWindow, ActivatingARowNamesTheMember) {
    QSignalSpy activated(&window, &frmTavrin::memberActivated);
    list().setCurrentIndex(list().model()->index(3, 0));
    QTest::keyClick(&list(), Qt::Key_Return);
    const QPoint top = list().visualRect(list().model()->index(0, 0)).center();
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, top); // a double-click begins as a click
    QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, top);
    ASSERT_EQ(activated.count(), 2);
    EXPECT_EQ(activated[0][0].toString(), "member2");
    EXPECT_EQ(activated[1][0].toString(), "a[/USER]b") << "a name holding tags comes back whole";
    EXPECT_TRUE(window.isVisible()) << "Return does not press Close";
}

TEST_F(ListWindow, SwitchingTheDisplayKeepsSelectionScrollAndText) {
    list().setCurrentIndex(list().model()->index(30, 0));
    list().verticalScrollBar()->setValue(20);
    const QString entryText = list().currentIndex().data().toString();
    const QString toolTip = list().currentIndex().data(Qt::ToolTipRole).toString();
    QAction* members = nullptr;
    for (QAction* action : list().actions()) {
        members = action->text() == "Members" ? action : members;
    }
    ASSERT_NE(members, nullptr) << "the context menu offers the members display";
    const QImage entryTexts = list().viewport()->grab().toImage();
    members->trigger();
    EXPECT_EQ(window.displayMode(), frmTavrin::DisplayMode::Members);
    EXPECT_NE(list().viewport()->grab().toImage(), entryTexts) << "the rows show members now";
    EXPECT_EQ(list().currentIndex().row(), 30);
    EXPECT_TRUE(list().selectionModel()->isRowSelected(30, {}));
    EXPECT_EQ(list().verticalScrollBar()->value(), 20);
    QTest::keySequence(&list(), QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), entryText);
    EXPECT_EQ(list().currentIndex().data(Qt::ToolTipRole).toString(), toolTip);
    window.setDisplayMode(frmTavrin::DisplayMode::EntryText);
    EXPECT_FALSE(members->isChecked());
    EXPECT_EQ(list().verticalScrollBar()->value(), 20);
}

} // namespace
