// What a chat client does with its member lists beyond single changes, each
// against its baseline in the same run: a live change shown by rank, then
// name, against the same change in the list's own order; one Tab of name
// completion against a scan of every name; joining a channel, painted,
// against the list alone and against a list widget given every entry at
// once; switching between two channels' panels against relisting one panel;
// and the memory of twenty channels.

#include "channel_list/entry_text.h"
#include "channel_list/tavrin.h"
#include "tavrin_widgets/chan_save_list_model.h"
#include "tavrin_widgets/member_completer.h"
#include "tavrin_widgets/member_panel.h"

#include "utf16_text.h"

#include "heap_usage.h"
#include "ratio_reporter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

using Member = MemberPanel::Member;
using tavrin::detail::utf16;
using MemberOrder = MemberPanel::MemberOrder;

// Names of mixed case and rank, scattered, as in a real channel: one in
// twenty is an operator, one in ten a speaker.
QList<Member> channelMembers(int count, const QString& channel = "Member") {
    QList<Member> members;
    members.reserve(count);
    for (int index = 0; index < count; ++index) {
        const qint32 flags = index % 20 == 0 ? 0x02 : index % 10 == 5 ? 0x04 : 0;
        members.append(
            {QString("%1%2").arg(index % 3 == 0 ? channel.toLower() : channel).arg(index * 7919 % 100003),
             "RATS", flags, 47});
    }
    return members;
}

void processEvents() {
    QApplication::processEvents();
}

// A member is made an operator, or no longer one, and the change is painted
// before the next: by rank it moves between the operators and its own rank,
// in the list's own order to the top or the bottom.
template <MemberOrder order> void liveChangeByRank(benchmark::State& state) {
    const auto members = channelMembers(static_cast<int>(state.range(0)));
    MemberPanel panel;
    panel.setMemberOrder(order);
    panel.addMembers(members);
    panel.resize(200, 400);
    panel.show();
    processEvents();
    // Each change makes a member an operator, or no longer one, at any size.
    std::vector<qint32> flags;
    for (const Member& member : members) {
        flags.push_back(member.Flags);
    }
    qsizetype cursor = 0;
    for (auto _ : state) {
        cursor = (cursor + 7919) % members.size();
        const Member& member = members[cursor];
        flags[static_cast<std::size_t>(cursor)] ^= 0x02;
        panel.TavrinAdd(member.username, member.Message, flags[static_cast<std::size_t>(cursor)],
                        member.Ping);
        processEvents();
    }
}

// One Tab in an input line, at 32,767 members of whom 1,000 spoke lately.
void completeName(benchmark::State& state) {
    const auto members = channelMembers(static_cast<int>(state.range(0)));
    MemberPanel panel;
    panel.addMembers(members);
    QLineEdit input;
    MemberCompleter completer(&panel, &input);
    for (int spoke = 0; spoke < 1000; ++spoke) {
        completer.noteSpoke(members[qsizetype{spoke} * 31 % members.size()].username);
    }
    input.setText("member12");
    for (auto _ : state) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(&input, &tab);
    }
    state.counters["names_offered"] = static_cast<double>(completer.completions("member12").size());
}

// What most clients do on each Tab: read every member's name, keep those that
// begin with the word, and sort them, recent speakers first.
void completeNameByScan(benchmark::State& state) {
    const auto members = channelMembers(static_cast<int>(state.range(0)));
    ChanSaveListModel model;
    model.addMembers(members);
    QStringList recent;
    for (int spoke = 0; spoke < 1000; ++spoke) {
        recent.prepend(members[qsizetype{spoke} * 31 % members.size()].username);
    }
    const QString word = "member12";
    for (auto _ : state) {
        QStringList names;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QString name = model.index(row).data(ChanSaveListModel::NameRole).toString();
            if (name.startsWith(word, Qt::CaseInsensitive)) {
                names << name;
            }
        }
        std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
            const auto spokeA = recent.indexOf(a);
            const auto spokeB = recent.indexOf(b);
            if ((spokeA >= 0) != (spokeB >= 0) || spokeA >= 0) {
                return spokeA >= 0 && (spokeB < 0 || spokeA < spokeB);
            }
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        benchmark::DoNotOptimize(names);
    }
}

// Joining: the whole list in one call, until the panel's next frame is painted.
template <MemberOrder order> void joinChannel(benchmark::State& state) {
    const auto members = channelMembers(static_cast<int>(state.range(0)));
    MemberPanel panel;
    panel.setMemberOrder(order);
    panel.resize(200, 400);
    panel.show();
    processEvents();
    for (auto _ : state) {
        QElapsedTimer joining;
        joining.start();
        panel.addMembers(members);
        processEvents();
        state.SetIterationTime(static_cast<double>(joining.nsecsElapsed()) / 1e9);
        panel.clear();
        processEvents();
    }
}

// The list alone, given the same members one by one.
void joinChannelCore(benchmark::State& state) {
    const auto members = channelMembers(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        tavrin::ChanSaveList list;
        QElapsedTimer joining;
        joining.start();
        for (const Member& member : members) {
            tavrin::TavrinAdd(list, utf16(member.username), utf16(member.Message), member.Flags, member.Ping);
        }
        state.SetIterationTime(static_cast<double>(joining.nsecsElapsed()) / 1e9);
    }
}

// A list widget given every entry text in one call, painted.
void joinChannelListWidget(benchmark::State& state) {
    const auto members = channelMembers(static_cast<int>(state.range(0)));
    QListWidget list;
    list.setUniformItemSizes(true);
    list.resize(200, 400);
    list.show();
    processEvents();
    for (auto _ : state) {
        QElapsedTimer joining;
        joining.start();
        QStringList texts;
        texts.reserve(members.size());
        for (const Member& member : members) {
            const auto keyword =
                tavrin::iconKeyword(utf16(member.username), utf16(member.Message), member.Flags);
            texts << QString::fromStdU16String(tavrin::entryText(
                keyword, utf16(member.username), tavrin::pingField(member.Flags, member.Ping)));
        }
        list.addItems(texts);
        processEvents();
        state.SetIterationTime(static_cast<double>(joining.nsecsElapsed()) / 1e9);
        list.clear();
        processEvents();
    }
}

// Two channels of 2,000, each with its panel in a stack, as the example
// client keeps them: a switch to the other, until the frame is painted.
void switchChannel(benchmark::State& state) {
    QStackedWidget stack;
    for (const char* channel : {"Clan", "Lounge"}) {
        auto* panel = new MemberPanel(&stack);
        panel->setMemberOrder(MemberOrder::RankThenName);
        panel->addMembers(channelMembers(static_cast<int>(state.range(0)), channel));
        stack.addWidget(panel);
    }
    stack.resize(200, 400);
    stack.show();
    processEvents();
    for (auto _ : state) {
        stack.setCurrentIndex(1 - stack.currentIndex());
        processEvents();
    }
}

// One panel for every channel, listed afresh on each switch.
void switchChannelByRelisting(benchmark::State& state) {
    const QList<Member> channels[] = {channelMembers(static_cast<int>(state.range(0)), "Clan"),
                                      channelMembers(static_cast<int>(state.range(0)), "Lounge")};
    MemberPanel panel;
    panel.setMemberOrder(MemberOrder::RankThenName);
    panel.resize(200, 400);
    panel.show();
    int shown = 0;
    for (auto _ : state) {
        shown = 1 - shown;
        panel.clear();
        panel.addMembers(channels[shown]);
        processEvents();
    }
}

// Twenty channels of 2,000 members, each with a panel by rank, against the
// lists alone.
void twentyChannelsMemory(benchmark::State& state) {
    const int perChannel = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<QList<Member>> channels;
        channels.reserve(20);
        for (int channel = 0; channel < 20; ++channel) {
            channels.push_back(channelMembers(perChannel, QString("Channel%1x").arg(channel)));
        }
        const double members = 20.0 * perChannel;
        auto before = bench::bytesHeld();
        {
            QStackedWidget stack;
            for (const auto& channel : channels) {
                auto* panel = new MemberPanel(&stack);
                panel->setMemberOrder(MemberOrder::RankThenName);
                panel->addMembers(channel);
                stack.addWidget(panel);
            }
            stack.show();
            processEvents();
            state.counters["panel_bytes_per_member"] =
                static_cast<double>(bench::bytesInUse() - before) / members;
        }
        before = bench::bytesHeld();
        std::vector<std::unique_ptr<tavrin::ChanSaveList>> lists;
        for (const auto& channel : channels) {
            lists.push_back(std::make_unique<tavrin::ChanSaveList>());
            for (const Member& member : channel) {
                tavrin::TavrinAdd(*lists.back(), utf16(member.username), utf16(member.Message), member.Flags,
                                  member.Ping);
            }
        }
        state.counters["list_bytes_per_member"] = static_cast<double>(bench::bytesInUse() - before) / members;
    }
}

void sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(100)->Arg(32767);
}

void joinSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(2000)->Arg(32767)->UseManualTime()->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::RegisterBenchmark("LiveChangeByRank/indexed", liveChangeByRank<MemberOrder::RankThenName>)
        ->Apply(sizes);
    benchmark::RegisterBenchmark("LiveChangeByRank/baseline", liveChangeByRank<MemberOrder::ListOrder>)
        ->Apply(sizes);
    benchmark::RegisterBenchmark("CompleteName/indexed", completeName)
        ->Arg(32767)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("CompleteName/literal", completeNameByScan)
        ->Arg(32767)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("JoinChannel/indexed", joinChannel<MemberOrder::ListOrder>)
        ->Apply(joinSizes);
    benchmark::RegisterBenchmark("JoinChannel/core", joinChannelCore)->Apply(joinSizes);
    benchmark::RegisterBenchmark("JoinChannel/literal", joinChannelListWidget)->Apply(joinSizes);
    benchmark::RegisterBenchmark("JoinChannelByRank/indexed", joinChannel<MemberOrder::RankThenName>)
        ->Apply(joinSizes);
    benchmark::RegisterBenchmark("JoinChannelByRank/core", joinChannelCore)->Apply(joinSizes);
    benchmark::RegisterBenchmark("SwitchChannel/indexed", switchChannel)
        ->Arg(2000)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("SwitchChannel/baseline", switchChannelByRelisting)
        ->Arg(2000)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("TwentyChannelsMemory", twentyChannelsMemory)->Arg(2000)->Iterations(1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
