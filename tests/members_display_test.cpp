// The members display: every badge and meter state drawn distinctly, the
// activation signal, and the switch between displays.

#include "members_delegate.h"
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
#include <QStringListModel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString entry(const QString& keyword, const QString& ping) {
    return "[ICON]" + keyword + "[/ICON][USER]Zorv[/USER][PING]" + ping + "[/PING]";
}

TEST(MembersDisplay, DrawsEveryBadgeAndMeterStateDistinctly) {
    const QStringList texts{
        entry("OP", "47"),      entry("BLIZZ", "47"),   entry("SYSOP", "47"),      entry("SPKR", "47"),
        entry("GLASSES", "47"), entry("SQUELCH", "47"), entry("GFOFFICIAL", "47"), entry("GFPLAYER", "47"),
        entry("STAR", "47"),    entry("W3XP", "47"),    entry("", "47"),           entry("STAR", "PLUG"),
        entry("STAR", "-1"),    entry("STAR", "250"),   entry("STAR", "350"),      entry("STAR", "500"),
        entry("STAR", "900"),
    };
    QStringListModel model(texts);
    QWidget host;
    MembersDelegate delegate;
    QStyleOptionViewItem option;
    option.initFrom(&host);
    option.rect = QRect(0, 0, 300, 18);
    option.widget = &host;
    QList<QImage> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        QImage image(option.rect.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(row));
        painter.end();
        EXPECT_FALSE(rows.contains(image)) << texts[row].toStdString() << " looks like an earlier row";
        rows << image;
    }
    const QRect badge(0, 0, 40, 18);
    QImage blank(badge.size(), QImage::Format_ARGB32);
    blank.fill(Qt::white);
    EXPECT_NE(rows[0].copy(badge), blank);
    EXPECT_EQ(rows[10].copy(badge), blank) << "an empty keyword shows no badge";
}

// A row of the members display as painted, 300 by 18 pixels.
QImage paintedRow(const QString& text, bool selected = false) {
    QStringListModel model({text});
    QWidget host;
    MembersDelegate delegate;
    QStyleOptionViewItem option;
    option.initFrom(&host);
    option.rect = QRect(0, 0, 300, 18);
    option.widget = &host;
    option.state.setFlag(QStyle::State_Selected, selected);
    QImage image(option.rect.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    delegate.paint(&painter, option, model.index(0));
    return image;
}

int pixelsNear(const QImage& image, const QRect& area, const QColor& colour) {
    int near = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            near += std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                                std::abs(pixel.blue() - colour.blue()) <
                            60
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
    EXPECT_GT(
        pixelsNear(paintedRow(entry("STAR", "47"), true), name, palette.color(QPalette::HighlightedText)), 5)
        << "a selected row's name is in the highlighted text colour";
    EXPECT_NE(paintedRow(entry("STAR", "47")).copy(name),
              paintedRow(entry("STAR", "47").replace("Zorv", "Zorx")).copy(name))
        << "names that differ after their third letter";
    const struct {
        const char* ping;
        QColor colour;
    } meters[] = {{"47", QColor(0x2E, 0x9E, 0x44)},
                  {"250", QColor(0x2E, 0x9E, 0x44)},
                  {"350", QColor(0xE0, 0xA8, 0x00)},
                  {"500", QColor(0xD0, 0x30, 0x30)},
                  {"900", QColor(0xD0, 0x30, 0x30)}};
    for (const auto& m : meters) {
        EXPECT_GT(pixelsNear(paintedRow(entry("STAR", m.ping)), meter, m.colour), 3) << m.ping;
    }
    EXPECT_GT(pixelsNear(paintedRow(entry("STAR", "-1")), meter, palette.color(QPalette::Text)), 8)
        << "an unknown ping is struck through";
}

// Counts what a view reads of its rows.
class ReadCounter : public QIdentityProxyModel {
public:
    QVariant data(const QModelIndex& index, int role) const override {
        reads += role == Qt::DisplayRole ? 1 : 0;
        return QIdentityProxyModel::data(index, role);
    }
    mutable int reads = 0;
};

TEST(MembersDisplay, PaintingReadsOnlyTheVisibleRows) {
    QStringList texts;
    for (int row = 0; row < 5000; ++row) {
        texts << entry("STAR", QString::number(row));
    }
    QStringListModel model(texts);
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
