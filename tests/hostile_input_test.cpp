// Inputs no one should be able to break the list with: each is added,
// refreshed and deleted, and the list keeps exactly one intact entry for it.

#include "channel_list/tavrin.h"

#include "channel_list/entry_text.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

const std::size_t mebibyte = 1 << 20;

struct HostileName {
    const char* what;
    std::u16string name;
    std::u16string sameNameAgain; // equal ignoring case
};

void PrintTo(const HostileName& c, std::ostream* out) {
    *out << c.what;
}

class HostileNames : public ::testing::TestWithParam<HostileName> {};

TEST_P(HostileNames, AreOneMemberFromAddToDelete) {
    const auto& c = GetParam();
    ChanSaveList list;
    TavrinAdd(list, u"before", u"RATS", 0, 1);
    TavrinAdd(list, c.name, u"RATS", 0, 47);
    TavrinAdd(list, u"after", u"RATS", 0, 1);
    TavrinAdd(list, c.sameNameAgain, u"RATS", 0x02, 48);

    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.text(1), entryText(u"OP", c.sameNameAgain, u"48"));
    EXPECT_EQ(nameFromEntryText(list.text(1)), c.sameNameAgain);
    EXPECT_EQ(list.find(c.name), Position{1});

    TavrinDel(list, c.name);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.find(c.name), std::nullopt);
    EXPECT_EQ(list.find(u"BEFORE"), Position{1});
    EXPECT_EQ(list.find(u"AFTER"), Position{2});
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileNames,
    ::testing::Values(
        HostileName{"a 1 MiB name", std::u16string(mebibyte, u'n') + u"X",
                    std::u16string(mebibyte, u'N') + u"x"},
        HostileName{"markers only", u"[/USER][PING][/ICON][USER]", u"[/user][ping][/icon][user]"},
        HostileName{"a whole entry as name", u"[ICON]OP[/ICON][USER]x[/USER][PING]1[/PING]",
                    u"[icon]op[/icon][user]X[/user][ping]1[/ping]"},
        HostileName{"an empty name", u"", u""},
        HostileName{"a lone high surrogate", std::u16string{char16_t(0xD800), u'a'},
                    std::u16string{char16_t(0xD800), u'A'}},
        HostileName{"a lone low surrogate", std::u16string{char16_t(0xDC00)},
                    std::u16string{char16_t(0xDC00)}},
        HostileName{"halves in the wrong order", std::u16string{char16_t(0xDC00), char16_t(0xD800)},
                    std::u16string{char16_t(0xDC00), char16_t(0xD800)}},
        HostileName{"blanks and controls", std::u16string(u" \t\r\n\0 ", 6),
                    std::u16string(u" \t\r\n\0 ", 6)}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(HostileStatus, OnlyItsFirstFourUnitsCount) {
    const struct {
        std::u16string Message;
        std::u16string keyword;
    } cases[] = {
        {std::u16string(mebibyte, u'x'), u"xxxx"},
        {u"[/ICON][USER]", u"CI/["},
        {std::u16string{u'a', char16_t(0xD800), u'b', u'c'}, {u'c', u'b', char16_t(0xD800), u'a'}},
    };
    for (const auto& c : cases) {
        ChanSaveList list;
        TavrinAdd(list, u"Zorv", c.Message, 0, 47);
        ASSERT_EQ(list.count(), 1);
        EXPECT_EQ(list.text(1), entryText(c.keyword, u"Zorv", u"47"));
        EXPECT_EQ(list.find(u"zorv"), Position{1});
    }
}

} // namespace
} // namespace tavrin
