// Every allocation inside an operation is made to fail in turn: the list must
// come out either unchanged or fully changed, and never lose a listed member.

#include "channel_list/tavrin.h"

#include "reference_channel_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {
long allocationsBeforeFailure = -1; // negative: never fail
} // namespace

void* operator new(std::size_t size) {
    if (allocationsBeforeFailure == 0) {
        allocationsBeforeFailure = -1;
        throw std::bad_alloc();
    }
    if (allocationsBeforeFailure > 0) {
        --allocationsBeforeFailure;
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace tavrin {
namespace {

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

INSTANTIATE_TEST_SUITE_P(Steps, AllocationFailure,
                         ::testing::Values(Case{"refresh", 0, u"zorvathan", 0},
                                           Case{"refresh to the top", 0, u"ZORVATHAN", 0x02},
                                           Case{"refresh that re-spreads", 32, u"zorvathan", 0x02},
                                           Case{"new member", 0, u"Otherworld", 0},
                                           Case{"new operator that re-spreads", 32, u"Otherworld", 0x02}));

} // namespace
} // namespace tavrin
