// TavrinAdd and TavrinDel made through a shown list window, at 100 and 32,767
// members, in the list's own order and by rank, against a literal port: a
// QListWidget whose look-up reads every item's text back. Also the live pattern of a chat client, one change
// per turn of the event loop with each change painted, what a full list costs in memory per member, and the
// member panel emptied for a channel change and resized, and the paints each
// change in a shown panel costs, by widget, against a plain list view.

#include "channel_list/entry_text.h"
#include "channel_list/tavrin.h"
#include "tavrin_widgets/chan_save_list_model.h"
#include "tavrin_widgets/frm_tavrin.h"
#include "tavrin_widgets/member_panel.h"

#include "heap_usage.h"
#include "ratio_reporter.h"
#include "widget_checks.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStringListModel>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// The list as a literal port keeps it: the items of a list widget, searched
// from the top by reading each name back out of its text and lower-casing it.
class LiteralListWindow {
public:
    void show() { list_.show(); }

    void TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping) {
        const auto keyword = tavrin::iconKeyword(username.toStdU16String(), Message.toStdU16String(), Flags);
        if (const int row = find(username); row >= 0) {
            delete list_.takeItem(row);
        }
        const auto text = QString::fromStdU16String(
            tavrin::entryText(keyword, username.toStdU16String(), tavrin::pingField(Flags, Ping)));
        if (keyword == tavrin::operatorKeyword) {
            list_.insertItem(0, text);
        } else {
            list_.addItem(text);
        }
    }

    // Fills a fresh list without looking anyone up, which would take minutes.
    void appendNewMember(const QString& username) {
        list_.addItem(
            QString::fromStdU16String(tavrin::entryText(u"STAR", username.toStdU16String(), u"47")));
    }

    void TavrinDel(const QString& username) {
        if (const int row = find(username); row >= 0) {
            delete list_.takeItem(row);
        }
    }

private:
    int find(const QString& username) const {
        const QString wanted = username.toLower();
        const int count = list_.count();
        for (int row = 0; row < count; ++row) {
            const QString name = list_.item(row)->text().split("[USER]").value(1).split("[/USER]").value(0);
            if (name.toLower() == wanted) {
                return row;
            }
        }
        return -1;
    }

    QListWidget list_;
};

QStringList memberNames(int count) {
    QStringList names;
    for (int index = 0; index < count; ++index) {
        names << QString("Member%1").arg(index);
    }
    return names;
}

const QString& nextMember(const QStringList& names, qsizetype& cursor) {
    cursor = (cursor + 7919) % names.size();
    return names[cursor];
}

using DisplayMode = frmTavrin::DisplayMode;

// The list window showing its members by rank, then name.
class RankedListWindow : public frmTavrin {
public:
    RankedListWindow() { panel().setMemberOrder(MemberPanel::MemberOrder::RankThenName); }
};

template <typename Window, DisplayMode display = DisplayMode::EntryText>
std::unique_ptr<Window> filledWindow(const QStringList& names) {
    auto window = std::make_unique<Window>();
    if constexpr (std::is_base_of_v<frmTavrin, Window>) {
        window->setDisplayMode(display);
    }
    for (const auto& name : names) {
        if constexpr (std::is_base_of_v<frmTavrin, Window>) {
            window->TavrinAdd(name, "RATS", 0, 47);
        } else {
            window->appendNewMember(name);
        }
    }
    window->show();
    QApplication::processEvents();
    return window;
}

// Times one operation on members picked all over a filled, shown window.
template <typename Window, DisplayMode display, typename Operation>
void onFilledWindow(benchmark::State& state, Operation operation) {
    const auto names = memberNames(static_cast<int>(state.range(0)));
    const auto window = filledWindow<Window, display>(names);
    qsizetype cursor = 0;
    for (auto _ : state) {
        operation(*window, nextMember(names, cursor));
    }
}

template <typename Window, DisplayMode display = DisplayMode::EntryText>
void refresh(benchmark::State& state) {
    onFilledWindow<Window, display>(
        state, [](Window& window, const QString& name) { window.TavrinAdd(name, "RATS", 0, 47); });
}

template <typename Window, DisplayMode display = DisplayMode::EntryText>
void deleteAndAddBack(benchmark::State& state) {
    onFilledWindow<Window, display>(state, [](Window& window, const QString& name) {
        window.TavrinDel(name);
        window.TavrinAdd(name, "RATS", 0, 47);
    });
}

enum class Where { inView, belowView, aboveView, belowViewSearching };

// A chat client's event loop runs between changes, so each change is laid
// out and painted on its own. With the list at its top, the first rows are in
// view; an operator's refresh moves it up among them, while a refresh of
// anyone else below them changes nothing on screen. With the list scrolled to
// its middle, a refresh of someone in its first quarter, as an operator,
// stays above the rows in view, which stay put. Searching, the list is
// narrowed by a text that every member's name holds.
template <Where where, DisplayMode display> void liveChange(benchmark::State& state) {
    const int inViewCount = 20;
    const auto names = memberNames(static_cast<int>(state.range(0)));
    const std::unique_ptr<frmTavrin> window = filledWindow<frmTavrin, display>(names);
    const auto below = names.mid(inViewCount);
    const auto above = names.mid(0, names.size() / 4);
    auto* list = window->findChild<QAbstractItemView*>("lstChanSave");
    if constexpr (where == Where::aboveView) {
        list->scrollTo(list->model()->index(static_cast<int>(names.size() / 2), 0),
                       QAbstractItemView::PositionAtTop);
        QApplication::processEvents();
    }
    if constexpr (where == Where::belowViewSearching) {
        window->findChild<QLineEdit*>("txtFind")->setText("member");
        QApplication::processEvents();
    }
    PaintCounter rowPaints(*list->viewport());
    PaintCounter scrollBarPaints(*list->verticalScrollBar());
    qsizetype cursor = 0;
    for (auto _ : state) {
        if constexpr (where == Where::inView) {
            window->TavrinAdd(nextMember(names, cursor), "RATS", 0x02, 47);
        } else if constexpr (where == Where::belowView || where == Where::belowViewSearching) {
            window->TavrinAdd(nextMember(below, cursor), "RATS", 0, 47);
        } else {
            window->TavrinAdd(nextMember(above, cursor), "RATS", 0x02, 47);
        }
        QApplication::processEvents();
    }
    const auto perChange = [&](int paints) {
        return static_cast<double>(paints) / static_cast<double>(state.iterations());
    };
    state.counters["row_paints"] = perChange(rowPaints.paints);
    state.counters["scroll_bar_paints"] = perChange(scrollBarPaints.paints);
}

using bench::bytesHeld;
using bench::bytesInUse;

// Heap bytes per member of a full list, how many of them the window and its
// view add to the list alone, and how many an open search adds, one that
// every name matches and one that hides most.
void fullListMemory(benchmark::State& state) {
    for (auto _ : state) {
        const auto names = memberNames(tavrin::ChanSaveList::maxCount);
        const auto perMember = [&](std::size_t bytes) {
            return static_cast<double>(bytes) / static_cast<double>(names.size());
        };
        auto before = bytesHeld();
        double shown = 0;
        double searching = 0;
        double searchingFew = 0;
        {
            const auto window = filledWindow<frmTavrin>(names);
            shown = perMember(bytesInUse() - before);
            auto* find = window->findChild<QLineEdit*>("txtFind");
            const auto withSearch = [&](const QString& text) {
                const auto closed = bytesInUse();
                find->setText(text);
                QApplication::processEvents();
                const double open = perMember(bytesInUse() - closed);
                find->clear();
                QApplication::processEvents();
                return open;
            };
            searching = withSearch("member");
            searchingFew = withSearch("member123");
            const auto listOrder = bytesInUse();
            window->panel().setMemberOrder(MemberPanel::MemberOrder::RankThenName);
            QApplication::processEvents();
            state.counters["rank_order_bytes_per_member"] = perMember(bytesInUse() - listOrder);
        }
        before = bytesHeld();
        tavrin::ChanSaveList list;
        for (const auto& name : names) {
            tavrin::TavrinAdd(list, name.toStdU16String(), u"RATS", 0, 47);
        }
        state.counters["bytes_per_member"] = shown;
        state.counters["window_bytes_per_member"] = shown - perMember(bytesInUse() - before);
        state.counters["search_bytes_per_member"] = std::max(searching, searchingFew);
    }
}

// A chat client changes channel: the full list is emptied in one step. Also
// what the list still holds afterwards, per member it held, once the empty
// list has been painted.
void panelClear(benchmark::State& state) {
    const auto names = memberNames(static_cast<int>(state.range(0)));
    MemberPanel panel;
    panel.show();
    const auto empty = bytesHeld();
    double heldAfter = 0;
    for (auto _ : state) {
        for (const auto& name : names) {
            panel.TavrinAdd(name, "RATS", 0, 47);
        }
        QApplication::processEvents();
        QElapsedTimer clearing;
        clearing.start();
        panel.clear();
        state.SetIterationTime(static_cast<double>(clearing.nsecsElapsed()) / 1e9);
        QApplication::processEvents();
        heldAfter = static_cast<double>(bytesHeld()) - static_cast<double>(empty);
    }
    state.counters["bytes_held_after_per_member"] = heldAfter / static_cast<double>(names.size());
}

// Dragging the edge of a dock: the panel is laid out and painted at each
// new size.
void panelResize(benchmark::State& state) {
    const auto names = memberNames(static_cast<int>(state.range(0)));
    MemberPanel panel;
    panel.setDisplayMode(DisplayMode::Members);
    for (const auto& name : names) {
        panel.TavrinAdd(name, "RATS", 0, 47);
    }
    panel.resize(200, 400);
    panel.show();
    QApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 40;
        panel.resize(200 + step * 3, 400 + step * 5);
        QApplication::processEvents();
    }
}

// The obvious way to find a member: a filter proxy on the name, over the same
// list and model, in a list view of uniform rows.
class ProxyFilteredList {
public:
    ProxyFilteredList() {
        proxy_.setSourceModel(&model_);
        proxy_.setFilterRole(ChanSaveListModel::NameRole);
        proxy_.setFilterCaseSensitivity(Qt::CaseInsensitive);
        view_.setUniformItemSizes(true);
        view_.setModel(&proxy_);
        view_.resize(200, 400);
    }
    void show() { view_.show(); }
    void find(const QString& text) { proxy_.setFilterFixedString(text); }
    void TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping) {
        model_.TavrinAdd(username, Message, Flags, Ping);
    }

private:
    ChanSaveListModel model_;
    QSortFilterProxyModel proxy_;
    QListView view_;
};

// The panel's field narrows the list letter by letter, and the next frame
// shows it: "M", "Me", and so on to "Member123", then everyone again.
template <MemberPanel::MemberOrder order = MemberPanel::MemberOrder::ListOrder> class PanelWithField {
public:
    PanelWithField() {
        panel_.resize(200, 400);
        panel_.setMemberOrder(order);
    }
    void show() { panel_.show(); }
    void find(const QString& text) { panel_.findChild<QLineEdit*>("txtFind")->setText(text); }
    void TavrinAdd(const QString& username, const QString& Message, qint32 Flags, qint32 Ping) {
        panel_.TavrinAdd(username, Message, Flags, Ping);
    }

private:
    MemberPanel panel_;
};

template <typename List> void letterTyped(benchmark::State& state) {
    const auto names = memberNames(static_cast<int>(state.range(0)));
    List list;
    for (const auto& name : names) {
        list.TavrinAdd(name, "RATS", 0, 47);
    }
    list.show();
    QApplication::processEvents();
    const QString typed = "Member123";
    qsizetype letters = 0;
    for (auto _ : state) {
        letters = (letters + 1) % (typed.size() + 1);
        list.find(typed.left(letters));
        QApplication::processEvents();
    }
}

// A change below the view while a search that every name matches is open.
template <typename List> void changeWhileSearching(benchmark::State& state) {
    const auto names = memberNames(static_cast<int>(state.range(0)));
    List list;
    for (const auto& name : names) {
        list.TavrinAdd(name, "RATS", 0, 47);
    }
    list.find("member");
    list.show();
    QApplication::processEvents();
    const auto below = names.mid(40); // out of view
    qsizetype cursor = 0;
    for (auto _ : state) {
        list.TavrinAdd(nextMember(below, cursor), "RATS", 0, 47);
        QApplication::processEvents();
    }
}

// Counts the paints every widget of the application receives, by what the
// widget is to a list: its rows, its scroll bar, its frame, a count line, the
// panel, or anything else.
class PaintsByWidget : public QObject {
public:
    PaintsByWidget() { QApplication::instance()->installEventFilter(this); }
    std::map<std::string, int> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            ++paints[kindOf(static_cast<QWidget*>(watched))];
        }
        return false;
    }

private:
    static std::string kindOf(QWidget* widget) {
        const auto* view = qobject_cast<QAbstractItemView*>(widget->parentWidget());
        if (view != nullptr && widget == view->viewport()) {
            return "rows";
        }
        if (qobject_cast<QScrollBar*>(widget) != nullptr) {
            return "scroll_bar";
        }
        if (qobject_cast<QAbstractItemView*>(widget) != nullptr) {
            return "list_frame";
        }
        if (qobject_cast<QLabel*>(widget) != nullptr) {
            return "count_line";
        }
        return qobject_cast<MemberPanel*>(widget) != nullptr ? "panel" : "other";
    }
};

// The changes of a busy channel, each painted before the next: a member in
// view gets a new ping, a newcomer joins, and leaves again. The panel shows
// its members by rank under headings, so the ping changes a row in place and
// the newcomer adds to the counts; the plain view sets the same row's text,
// and inserts and removes a row at its end.
void reportPaints(benchmark::State& state, const PaintsByWidget& counted) {
    for (const char* kind : {"rows", "scroll_bar", "list_frame", "count_line", "panel", "other"}) {
        const auto found = counted.paints.find(kind);
        state.counters[std::string(kind) + "_paints"] =
            found == counted.paints.end()
                ? 0.0
                : static_cast<double>(found->second) / static_cast<double>(state.iterations());
    }
}

void shownChange(benchmark::State& state) {
    const auto names = memberNames(static_cast<int>(state.range(0)));
    MemberPanel panel;
    panel.setShownOrder(tavrin::ShownOrder::rankThenName);
    for (const auto& name : names) {
        panel.TavrinAdd(name, "RATS", 0, 47);
    }
    panel.resize(200, 400);
    panel.show();
    QApplication::processEvents();
    const QString inView = panel.model().index(3).data(ChanSaveListModel::NameRole).toString();
    PaintsByWidget counted;
    qint32 ping = 47;
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 3;
        if (step == 0) {
            panel.TavrinAdd(inView, "RATS", 0, ++ping % 1000);
        } else if (step == 1) {
            panel.TavrinAdd("Newcomer", "RATS", 0, 47);
        } else {
            panel.TavrinDel("Newcomer");
        }
        QApplication::processEvents();
    }
    reportPaints(state, counted);
}

void shownChangeInAListView(benchmark::State& state) {
    QStringList texts;
    for (const auto& name : memberNames(static_cast<int>(state.range(0)))) {
        texts << "[ICON]RATS[/ICON][USER]" + name + "[/USER][PING]47[/PING]";
    }
    QStringListModel model(texts);
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.resize(200, 400);
    view.show();
    QApplication::processEvents();
    PaintsByWidget counted;
    qint32 ping = 47;
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 3;
        if (step == 0) {
            model.setData(model.index(3),
                          QString("[ICON]RATS[/ICON][USER]Member3[/USER][PING]%1[/PING]").arg(++ping % 1000));
        } else if (step == 1) {
            model.insertRows(model.rowCount(), 1);
            model.setData(model.index(model.rowCount() - 1),
                          "[ICON]RATS[/ICON][USER]Newcomer[/USER][PING]47[/PING]");
        } else {
            model.removeRows(model.rowCount() - 1, 1);
        }
        QApplication::processEvents();
    }
    reportPaints(state, counted);
}

void sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(100)->Arg(32767);
}

void liveSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(100)->Arg(1000)->Arg(32767);
}

} // namespace

BENCHMARK(refresh<frmTavrin>)->Name("WindowRefresh/indexed")->Apply(sizes);
BENCHMARK(refresh<LiteralListWindow>)->Name("WindowRefresh/literal")->Apply(sizes);
BENCHMARK(deleteAndAddBack<frmTavrin>)->Name("WindowDeleteAndAddBack/indexed")->Apply(sizes);
BENCHMARK(deleteAndAddBack<LiteralListWindow>)->Name("WindowDeleteAndAddBack/literal")->Apply(sizes);
BENCHMARK(refresh<RankedListWindow>)->Name("WindowRefreshByRank/indexed")->Apply(sizes);
BENCHMARK(refresh<LiteralListWindow>)->Name("WindowRefreshByRank/literal")->Apply(sizes);
BENCHMARK(deleteAndAddBack<RankedListWindow>)->Name("WindowDeleteAndAddBackByRank/indexed")->Apply(sizes);
BENCHMARK(deleteAndAddBack<LiteralListWindow>)->Name("WindowDeleteAndAddBackByRank/literal")->Apply(sizes);
BENCHMARK(fullListMemory)->Name("FullListMemory")->Iterations(1);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::RegisterBenchmark("LiveChangeInView/indexed",
                                 liveChange<Where::inView, DisplayMode::EntryText>)
        ->Apply(liveSizes);
    benchmark::RegisterBenchmark("LiveChangeOutOfView/indexed",
                                 liveChange<Where::belowView, DisplayMode::EntryText>)
        ->Apply(liveSizes);
    benchmark::RegisterBenchmark("LiveChangeAboveView/indexed",
                                 liveChange<Where::aboveView, DisplayMode::EntryText>)
        ->Apply(liveSizes);
    // The same in the members display.
    benchmark::RegisterBenchmark("MembersWindowRefresh/indexed", refresh<frmTavrin, DisplayMode::Members>)
        ->Apply(sizes);
    benchmark::RegisterBenchmark("MembersWindowDeleteAndAddBack/indexed",
                                 deleteAndAddBack<frmTavrin, DisplayMode::Members>)
        ->Apply(sizes);
    benchmark::RegisterBenchmark("MembersLiveChangeInView/indexed",
                                 liveChange<Where::inView, DisplayMode::Members>)
        ->Apply(liveSizes);
    benchmark::RegisterBenchmark("MembersLiveChangeOutOfView/indexed",
                                 liveChange<Where::belowView, DisplayMode::Members>)
        ->Apply(liveSizes);
    benchmark::RegisterBenchmark("MembersLiveChangeAboveView/indexed",
                                 liveChange<Where::aboveView, DisplayMode::Members>)
        ->Apply(liveSizes);
    // Short of a full list, so that the newcomer is let in.
    benchmark::RegisterBenchmark("ShownChange/indexed", shownChange)->Arg(100)->Arg(32000);
    benchmark::RegisterBenchmark("ShownChange/baseline", shownChangeInAListView)->Arg(100)->Arg(32000);
    benchmark::RegisterBenchmark("PanelClear/indexed", panelClear)
        ->Arg(32767)
        ->Iterations(10)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("PanelResize/indexed", panelResize)->Apply(sizes);
    benchmark::RegisterBenchmark("LiveChangeOutOfViewSearching/indexed",
                                 liveChange<Where::belowViewSearching, DisplayMode::EntryText>)
        ->Apply(liveSizes);
    benchmark::RegisterBenchmark("FindLetterTyped/indexed", letterTyped<PanelWithField<>>)
        ->Apply(sizes)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FindLetterTypedByRank/indexed",
                                 letterTyped<PanelWithField<MemberPanel::MemberOrder::RankThenName>>)
        ->Apply(sizes)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FindLetterTyped/proxy", letterTyped<ProxyFilteredList>)
        ->Apply(sizes)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ChangeWhileSearching/indexed", changeWhileSearching<PanelWithField<>>)
        ->Apply(sizes);
    benchmark::RegisterBenchmark("ChangeWhileSearching/proxy", changeWhileSearching<ProxyFilteredList>)
        ->Apply(sizes);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
