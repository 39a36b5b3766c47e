// Every allocation inside an operation is made to fail in turn: the list must
// come out either unchanged or fully changed, and never lose a listed member.
// The same allocator counts what the list holds while a channel churns.

#include "channel_list/tavrin.h"

#include "failing_allocator.h"
#include "reference_channel_list.h"

#include <gtest/gtest.h>

#include <new>
#include <random>
#include <string>

namespace tavrin {
namespace {

using testing::allocationsBeforeFailure;
using testing::bigBytesAllocated;
using testing::bytesInUse;
using testing::textsOf;

struct Case {
    const char* what;
    int operatorsBefore; // enough of them leave no room at the top, so the list must re-spread
    std::u16string username;
    std::int32_t Flags;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.what;
}

class AllocationFailure : public ::testing::TestWithParam<Case> {};

TEST_P(AllocationFailure, LeavesTheListWholeOrUnchanged) {
    const auto& c = GetParam();
    bool succeeded = false;
    for (long failAt = 0; !succeeded; ++failAt) {
        ChanSaveList list;
        testing::ReferenceChannelList expected;
        for (int index = 0; index < c.operatorsBefore; ++index) {
            const auto name = u"op" + std::u16string(1, static_cast<char16_t>(u'A' + index));
            TavrinAdd(list, name, u"RATS", 0x02, 1);
            expected.add(name, u"RATS", 0x02, 1);
        }
        TavrinAdd(list, u"Zorvathan", u"RATS", 0, 47);
        expected.add(u"Zorvathan", u"RATS", 0, 47);
        const auto before = textsOf(list);
        expected.add(c.username, u"PX3W", c.Flags, 5);

        allocationsBeforeFailure = failAt;
        TavrinAdd(list, c.username, u"PX3W", c.Flags, 5);
        succeeded = allocationsBeforeFailure != -1;
        allocationsBeforeFailure = -1;

        const auto after = textsOf(list);
        if (succeeded) {
            EXPECT_EQ(after, expected.texts()) << c.what;
        } else {
            EXPECT_EQ(after, before) << c.what << ": failure at allocation " << failAt;
            EXPECT_TRUE(list.find(u"Zorvathan").has_value());
        }
        ASSERT_LT(failAt, 1000) << "the operation never stops allocating";
        if (succeeded) {
            EXPECT_GT(failAt, 2) << "every allocation should have been made to fail once";
        }
    }
}

// Deleting, each allocation failing in turn: the member is gone and nothing
// is reported, or the list is whole and the failure is reported.
TEST(AllocationFailureInDelete, LeavesTheListWholeOrWithoutTheMember) {
    bool succeeded = false;
    for (long failAt = 0; !succeeded; ++failAt) {
        ChanSaveList list;
        for (const char16_t* name : {u"Kestrel", u"Zorvathan", u"Mirelle"}) {
            TavrinAdd(list, name, u"RATS", 0, 47);
        }
        const auto before = textsOf(list);
        allocationsBeforeFailure = failAt;
        bool reported = false;
        try {
            TavrinDel(list, u"ZORVATHAN");
        } catch (const std::bad_alloc&) {
            reported = true;
        }
        succeeded = allocationsBeforeFailure != -1;
        allocationsBeforeFailure = -1;
        if (reported) {
            EXPECT_EQ(textsOf(list), before)
                << "failure at allocation " << failAt << " after the list changed";
        } else {
            EXPECT_EQ(textsOf(list), (std::vector<std::u16string>{before[0], before[2]}))
                << "failure at allocation " << failAt << " not reported";
        }
        ASSERT_LT(failAt, 1000);
    }
}

std::u16string nameOf(int number) {
    std::u16string name = u"member";
    for (const char c : std::to_string(number)) {
        name += static_cast<char16_t>(c);
    }
    return name;
}

// A busy channel for hours: one member refreshed over and over, then a full
// list whose members keep leaving and others joining. The list holds memory in
// proportion to its members, and grows and packs its buffers rarely.
TEST(ListMemory, StaysInProportionWhileAChannelChurns) {
    ChanSaveList list;
    const long long empty = bytesInUse;
    for (int refresh = 0; refresh < 100000; ++refresh) {
        TavrinAdd(list, u"Zorvathan", u"RATS", refresh % 2 == 0 ? 0x02 : 0, refresh);
    }
    EXPECT_LT(bytesInUse - empty, 64 * 1024) << "a refresh leaves nothing of the old entry behind";

    bigBytesAllocated = 0;
    for (int number = 0; number < ChanSaveList::maxCount; ++number) {
        TavrinAdd(list, nameOf(number), u"RATS", number % 50 == 0 ? 0x02 : 0, 47);
    }
    const long long full = bytesInUse - empty;
    EXPECT_LT(bigBytesAllocated, 4 * full) << "the buffers grow by a share of their size";

    bigBytesAllocated = 0;
    std::mt19937 random(3);
    for (int step = 0; step < 100000; ++step) {
        TavrinDel(list, nameOf(static_cast<int>(random() % ChanSaveList::maxCount)));
        TavrinAdd(list, nameOf(static_cast<int>(random() % ChanSaveList::maxCount)), u"RATS", 0, 47);
    }
    EXPECT_LT(bytesInUse - empty, full * 5 / 4) << "removed entries' room is reused";
    EXPECT_LT(bigBytesAllocated, 10 * full) << "the buffers are packed rarely";
}

INSTANTIATE_TEST_SUITE_P(Steps, AllocationFailure,
                         ::testing::Values(Case{"refresh", 0, u"zorvathan", 0},
                                           Case{"refresh to the top", 0, u"ZORVATHAN", 0x02},
                                           Case{"refresh that re-spreads", 32, u"zorvathan", 0x02},
                                           Case{"new member", 0, u"Otherworld", 0},
                                           Case{"new operator that re-spreads", 32, u"Otherworld", 0x02}));

} // namespace
} // namespace tavrin
