// The pieces a channel list is built of, each against the plainest version of
// what it must do.

#include "fenwick_tree.h"
#include "name_index.h"
#include "rank_order.h"
#include "text_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace tavrin::detail {
namespace {

template <typename Count> void checkAgainstCounts(std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::vector<int> counts(size);
    for (int& count : counts) {
        count = static_cast<int>(random() % 2);
    }
    FenwickTree<Count> tree(size, [&](std::size_t element) { return counts[element]; });
    for (int step = 0; step < 2000; ++step) {
        const std::size_t element = random() % size;
        const int delta = counts[element] == 1 ? -1 : 1;
        counts[element] += delta;
        tree.add(element, delta);
        const std::size_t probe = random() % (size + 1);
        int before = 0;
        for (std::size_t at = 0; at < probe; ++at) {
            before += counts[at];
        }
        ASSERT_EQ(tree.sumBefore(probe), before) << "size " << size << ", step " << step;
        const int total = before + 1;
        int running = 0;
        for (std::size_t at = 0; at < size; ++at) {
            if (running + counts[at] >= total) {
                ASSERT_EQ(tree.reach(total).element, at) << "size " << size << ", total " << total;
                ASSERT_EQ(tree.reach(total).before, running);
                break;
            }
            running += counts[at];
        }
    }
}

TEST(FenwickTree, SumsAndReachesAsItsCountsSay) {
    for (const std::size_t size : {1U, 2U, 7U, 64U, 65U, 1000U}) {
        checkAgainstCounts<std::int32_t>(size);
        checkAgainstCounts<std::uint16_t>(size);
    }
}

// Entries by a key that is not their id, some not counted, entering and
// leaving at random and once built from sorted ids at a stroke: each place
// read down by comparing keys, or up through the parents, is the plain sort's.
TEST(RankOrder, PlacesEntriesAsASortedListDoes) {
    std::mt19937 random(7);
    std::vector<int> keys(300);
    std::vector<bool> counted(keys.size());
    for (std::size_t id = 0; id < keys.size(); ++id) {
        keys[id] = static_cast<int>(random() % 1000) * 1000 + static_cast<int>(id);
        counted[id] = random() % 4 != 0;
    }
    const auto less = [&](RankOrder::Id a, RankOrder::Id b) {
        return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
    };
    RankOrder order;
    order.reserve(keys.size());
    std::set<RankOrder::Id, decltype(less)> in(less);
    for (int step = 0; step < 3000; ++step) {
        const auto id = static_cast<RankOrder::Id>(random() % keys.size());
        if (step == 1500) {
            const std::vector<RankOrder::Id> sorted(in.begin(), in.end());
            order.build(
                static_cast<std::int32_t>(sorted.size()),
                [&](std::int32_t at) { return sorted[static_cast<std::size_t>(at)]; },
                [&](RankOrder::Id built) { return counted[static_cast<std::size_t>(built)]; });
        } else if (in.count(id) != 0) {
            order.erase(id, less);
            in.erase(id);
        } else {
            order.insert(id, counted[static_cast<std::size_t>(id)], less);
            in.insert(id);
        }
        std::int32_t before = 0;
        for (const RankOrder::Id at : in) {
            ASSERT_EQ(order.countedBeforeInTree(at), before) << "step " << step;
            ASSERT_EQ(order.countedBefore(at, less), before) << "step " << step;
            if (counted[static_cast<std::size_t>(at)]) {
                ASSERT_EQ(order.select(++before), at) << "step " << step;
            }
        }
        ASSERT_EQ(order.counted(), before);
    }
}

// Ids whose hashes collide in every way the probing meets: long runs, runs
// that wrap round the table's end, and holes left by erasing in the middle.
TEST(NameIndex, FindsExactlyTheIdsItHoldsThroughGrowthAndErasure) {
    for (const std::size_t buckets : {1U, 3U, 1000U}) {
        const auto hashOf = [buckets](NameIndex::Id id) {
            return static_cast<std::size_t>(id) % buckets * 0x9E3779B97F4A7C15U + 63;
        };
        NameIndex index;
        std::set<NameIndex::Id> held;
        std::mt19937 random(static_cast<unsigned>(buckets));
        for (int step = 0; step < 3000; ++step) {
            const auto id = static_cast<NameIndex::Id>(random() % 400);
            if (held.contains(id)) {
                index.erase(id, hashOf(id), hashOf);
                held.erase(id);
            } else {
                index.reserve(1, hashOf);
                index.insert(id, hashOf(id));
                held.insert(id);
            }
            ASSERT_EQ(index.size(), held.size());
            ASSERT_LE(2 * index.size(), index.capacity()) << "at most half full";
        }
        for (NameIndex::Id id = 0; id < 400; ++id) {
            bool found = false;
            index.forEachCandidate(hashOf(id), [&](NameIndex::Id candidate) { found |= candidate == id; });
            EXPECT_EQ(found, held.contains(id)) << "id " << id << " with " << buckets << " buckets";
        }
    }
}

// Entries of 40 characters, as a typical member's text and name take.
struct Fill {
    TextBuffer buffer;
    std::map<int, TextBuffer::Span> spans;
    int grown = 0;
    int packed = 0;

    void add(int key) {
        const std::u16string text(40, static_cast<char16_t>(u'a' + key % 26));
        const std::size_t capacity = buffer.capacity();
        buffer.reserve(text.size(), [&](auto move) {
            ++packed;
            for (auto& [k, span] : spans) {
                move(span);
            }
        });
        grown += buffer.capacity() != capacity ? 1 : 0;
        spans[key] = buffer.append(text, {});
    }
    void remove(int key) {
        buffer.release(spans.at(key));
        spans.erase(key);
    }
};

TEST(TextBuffer, GrowsByHalvesAndPacksOnlyWhenGapsFillHalfOfIt) {
    Fill fill;
    for (int key = 0; key < 32767; ++key) {
        fill.add(key);
    }
    EXPECT_LE(fill.grown, 30) << "the buffer grows by a share of its size, not by a fixed step";
    EXPECT_EQ(fill.packed, 0) << "nothing to pack while only filling";
    EXPECT_LE(fill.buffer.capacity(), fill.buffer.liveSize() * 3 / 2 + 64);

    // Members leave and join, as in a busy channel: the gaps are reused.
    std::mt19937 random(7);
    for (int step = 0; step < 200000; ++step) {
        const int leaving = static_cast<int>(random() % 32767);
        if (fill.spans.contains(leaving)) {
            fill.remove(leaving);
            fill.add(leaving);
        }
    }
    EXPECT_LE(fill.buffer.capacity(), 4 * fill.buffer.liveSize()) << "gaps are packed away";
    EXPECT_GE(fill.packed, 1);
    EXPECT_LE(fill.packed, 200) << "each packing frees room for many changes";
    for (const auto& [key, span] : fill.spans) {
        ASSERT_EQ(fill.buffer.view(span.start, span.length),
                  std::u16string(40, static_cast<char16_t>(u'a' + key % 26)))
            << "packing moved " << key << " whole";
    }
}

} // namespace
} // namespace tavrin::detail
