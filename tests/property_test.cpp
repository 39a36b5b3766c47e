// Thousands of random add and delete sequences over a few names that differ
// only in case must leave the list exactly as the plain reference leaves it.

#include "channel_list/tavrin.h"

#include "reference_channel_list.h"

#include <gtest/gtest.h>

#include <random>

namespace tavrin {
namespace {

TEST(Property, MatchesThePlainReferenceList) {
    const std::u16string names[] = {u"zorv", u"Zorv", u"ZORV",      u"druvo",     u"DrUvO",  u"a",
                                    u"A",    u"",     u"x[/USER]y", u"X[/user]Y", u"\u00C9", u"\u00E9"};
    const std::u16string statuses[] = {u"RATS", u"PO", u"", u"PX3W"};
    const std::int32_t flagChoices[] = {0, 0x02, 0x10, 0x12, 0x20, 0x08, 0x22, 0x200000};

    std::mt19937 random(20261209);
    auto pick = [&](const auto& choices) {
        return choices[std::uniform_int_distribution<std::size_t>(0, std::size(choices) - 1)(random)];
    };
    for (int sequence = 0; sequence < 3000; ++sequence) {
        ChanSaveList list;
        testing::ReferenceChannelList reference;
        const int length = std::uniform_int_distribution<int>(1, 120)(random);
        for (int step = 0; step < length; ++step) {
            const auto& name = pick(names);
            if (random() % 3 == 0) {
                TavrinDel(list, name);
                reference.del(name);
            } else {
                const auto& status = pick(statuses);
                const auto Flags = pick(flagChoices);
                const auto Ping = static_cast<std::int32_t>(random());
                TavrinAdd(list, name, status, Flags, Ping);
                reference.add(name, status, Flags, Ping);
            }
            ASSERT_EQ(testing::textsOf(list), reference.texts())
                << "sequence " << sequence << " step " << step;
            for (const auto& probe : names) {
                const auto found = list.find(probe);
                ASSERT_EQ(found.has_value(), [&] {
                    for (const auto& text : reference.texts()) {
                        if (namesEqual(*nameFromEntryText(text), probe)) {
                            return true;
                        }
                    }
                    return false;
                }());
            }
        }
    }
}

} // namespace
} // namespace tavrin
