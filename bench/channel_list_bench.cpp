// Refreshing a member, and deleting one and adding it back, on lists of every
// size: the indexed ChanSaveList against the literal way, which reads every
// entry's text back and lower-cases its name on each look-up. Also emptying a
// full list for a channel change, and searching it.

#include "channel_list/entry_text.h"
#include "channel_list/tavrin.h"

#include "ratio_reporter.h"
#include "reference_channel_list.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

std::vector<std::u16string> memberNames(int count) {
    std::vector<std::u16string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        const auto digits = std::to_string(index);
        names.push_back(u"Member" + std::u16string(digits.begin(), digits.end()));
    }
    return names;
}

// Visits the members in a scattered order, so look-ups land all over the list.
const std::u16string& nextMember(const std::vector<std::u16string>& names, std::size_t& cursor) {
    cursor = (cursor + 7919) % names.size();
    return names[cursor];
}

template <typename List, typename Add, typename Del, typename Fill>
void refresh(benchmark::State& state, List& list, Add add, Del, Fill fill) {
    const auto names = memberNames(static_cast<int>(state.range(0)));
    fill(list, names);
    std::size_t cursor = 0;
    for (auto _ : state) {
        add(list, nextMember(names, cursor));
    }
}

template <typename List, typename Add, typename Del, typename Fill>
void deleteAndAddBack(benchmark::State& state, List& list, Add add, Del del, Fill fill) {
    const auto names = memberNames(static_cast<int>(state.range(0)));
    fill(list, names);
    std::size_t cursor = 0;
    for (auto _ : state) {
        const auto& name = nextMember(names, cursor);
        del(list, name);
        add(list, name);
    }
}

const auto indexedAdd = [](tavrin::ChanSaveList& list, const std::u16string& name) {
    tavrin::TavrinAdd(list, name, u"RATS", 0, 47);
};
const auto indexedDel = [](tavrin::ChanSaveList& list, const std::u16string& name) {
    tavrin::TavrinDel(list, name);
};
const auto indexedFill = [](tavrin::ChanSaveList& list, const std::vector<std::u16string>& names) {
    for (const auto& name : names) {
        indexedAdd(list, name);
    }
};
// Filling the literal list the literal way would take minutes per size.
const auto literalFill = [](tavrin::testing::ReferenceChannelList& list,
                            const std::vector<std::u16string>& names) {
    for (const auto& name : names) {
        list.appendNewMember(tavrin::entryText(u"STAR", name, u"47"));
    }
};
const auto literalAdd = [](tavrin::testing::ReferenceChannelList& list, const std::u16string& name) {
    list.add(name, u"RATS", 0, 47);
};
const auto literalDel = [](tavrin::testing::ReferenceChannelList& list, const std::u16string& name) {
    list.del(name);
};

template <auto Operation> void indexed(benchmark::State& state) {
    tavrin::ChanSaveList list;
    Operation(state, list, indexedAdd, indexedDel, indexedFill);
}

template <auto Operation> void literal(benchmark::State& state) {
    tavrin::testing::ReferenceChannelList list;
    Operation(state, list, literalAdd, literalDel, literalFill);
}

void clearFullList(benchmark::State& state) {
    const auto names = memberNames(tavrin::ChanSaveList::maxCount);
    tavrin::ChanSaveList list;
    for (auto _ : state) {
        indexedFill(list, names);
        const auto start = std::chrono::steady_clock::now();
        list.clear();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

// Narrowing the list letter by letter, "M" to "Member123", then everyone
// again; and a refresh while a search that every name matches is open.
void searchLetterTyped(benchmark::State& state) {
    tavrin::ChanSaveList list;
    indexedFill(list, memberNames(static_cast<int>(state.range(0))));
    const std::u16string typed = u"Member123";
    std::size_t letters = 0;
    for (auto _ : state) {
        letters = (letters + 1) % (typed.size() + 1);
        list.setSearch(std::u16string_view(typed).substr(0, letters));
    }
}

void refreshWhileSearching(benchmark::State& state) {
    tavrin::ChanSaveList list;
    const auto names = memberNames(static_cast<int>(state.range(0)));
    indexedFill(list, names);
    list.setSearch(u"member");
    std::size_t cursor = 0;
    for (auto _ : state) {
        indexedAdd(list, nextMember(names, cursor));
    }
}

void sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(100)->Arg(1000)->Arg(32767);
}

} // namespace

BENCHMARK(
    indexed<refresh<tavrin::ChanSaveList, decltype(indexedAdd), decltype(indexedDel), decltype(indexedFill)>>)
    ->Name("Refresh/indexed")
    ->Apply(sizes);
BENCHMARK(literal<refresh<tavrin::testing::ReferenceChannelList, decltype(literalAdd), decltype(literalDel),
                          decltype(literalFill)>>)
    ->Name("Refresh/literal")
    ->Apply(sizes);
BENCHMARK(indexed<deleteAndAddBack<tavrin::ChanSaveList, decltype(indexedAdd), decltype(indexedDel),
                                   decltype(indexedFill)>>)
    ->Name("DeleteAndAddBack/indexed")
    ->Apply(sizes);
BENCHMARK(literal<deleteAndAddBack<tavrin::testing::ReferenceChannelList, decltype(literalAdd),
                                   decltype(literalDel), decltype(literalFill)>>)
    ->Name("DeleteAndAddBack/literal")
    ->Apply(sizes);

BENCHMARK(searchLetterTyped)->Name("SearchLetterTyped/indexed")->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(refreshWhileSearching)->Name("RefreshWhileSearching/indexed")->Apply(sizes);
BENCHMARK(clearFullList)
    ->Name("Clear/indexed/32767")
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
