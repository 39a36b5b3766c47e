#include "channel_list/entry_text.h"
#include "channel_list/standing.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

struct KeywordCase {
    const char* why;
    std::u16string username;
    std::u16string Message;
    std::int32_t Flags;
    std::u16string keyword;
};

void PrintTo(const KeywordCase& c, std::ostream* out) {
    *out << c.why;
}

class IconKeyword : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(IconKeyword, FollowsTheRulesInOrder) {
    const auto& c = GetParam();
    EXPECT_EQ(iconKeyword(c.username, c.Message, c.Flags), c.keyword) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IconKeyword,
    ::testing::Values(
        KeywordCase{"product code reversed", u"Zorv", u"RATS", 0, u"STAR"},
        KeywordCase{"only the first four units", u"Zorv", u"WXYZ9", 0, u"ZYXW"},
        KeywordCase{"a short status", u"Zorv", u"AB", 0, u"BA"},
        KeywordCase{"an empty status", u"Zorv", u"", 0, u""},
        KeywordCase{"a status that reads OP", u"Zorv", u"PO", 0, u"OP"},
        KeywordCase{"blizzard", u"Zorv", u"RATS", 0x01, u"BLIZZ"},
        KeywordCase{"sysop after blizzard", u"Zorv", u"RATS", 0x09, u"SYSOP"},
        KeywordCase{"operator after sysop, whatever the bit values", u"Zorv", u"RATS", 0x0A, u"OP"},
        KeywordCase{"squelch after operator", u"Zorv", u"RATS", 0x22, u"SQUELCH"},
        KeywordCase{"speaker after operator", u"Zorv", u"RATS", 0x06, u"SPKR"},
        KeywordCase{"squelch after glasses", u"Zorv", u"RATS", 0x60, u"SQUELCH"},
        KeywordCase{"glasses after speaker", u"Zorv", u"RATS", 0x44, u"GLASSES"},
        KeywordCase{"gf player last", u"Zorv", u"RATS", 0x300000, u"GFPLAYER"},
        KeywordCase{"gf official", u"Zorv", u"RATS", 0x100022, u"GFOFFICIAL"},
        KeywordCase{"no-udp leaves the keyword alone", u"Zorv", u"RATS", 0x10, u"STAR"},
        KeywordCase{"no-udp with operator", u"Zorv", u"RATS", 0x12, u"OP"},
        KeywordCase{"other bits do nothing", u"Zorv", u"RATS", static_cast<std::int32_t>(0x80cff080),
                    u"STAR"},
        KeywordCase{"every bit: the last rule wins", u"Zorv", u"RATS", -1, u"GFPLAYER"},
        KeywordCase{"druvo is always an operator", u"DRUVO", u"RATS", 0, u"OP"},
        KeywordCase{"druvo can still be squelched", u"druvo", u"RATS", 0x20, u"SQUELCH"},
        KeywordCase{"only druvo itself", u"druvo2", u"RATS", 0, u"STAR"},
        KeywordCase{"not the whole phrase", u"op druvo", u"RATS", 0, u"STAR"},
        // U+1D400 is the pair D835 DC00; it stays whole and in order.
        KeywordCase{"a pair inside the code", u"x", u"a\U0001D400b", 0, u"b\U0001D400a"},
        KeywordCase{"a pair cut by the boundary is left out", u"x", u"abc\U0001D400", 0, u"cba"},
        KeywordCase{"two pairs", u"x", u"\U0001D400\U0001D401", 0, u"\U0001D401\U0001D400"},
        KeywordCase{"a lone low surrogate is not joined to what precedes it", u"x",
                    std::u16string{u'a', char16_t(0xDC00), u'b'}, 0,
                    std::u16string{u'b', char16_t(0xDC00), u'a'}},
        KeywordCase{"a lone surrogate stays as it is", u"x", std::u16string{u'a', char16_t(0xD800)}, 0,
                    std::u16string{char16_t(0xD800), u'a'}}));

TEST(PingField, PrintsDecimalOrPlug) {
    const struct {
        std::int32_t Flags;
        std::int32_t Ping;
        std::u16string field;
    } cases[] = {
        {0, 47, u"47"},
        {0, 0, u"0"},
        {0, -1, u"-1"},
        {0, INT32_MIN, u"-2147483648"},
        {0, INT32_MAX, u"2147483647"},
        {0x10, 47, u"PLUG"},
        {0x12, -5, u"PLUG"},
        {0x0F, 8, u"8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pingField(c.Flags, c.Ping), c.field) << c.Flags << " " << c.Ping;
    }
}

TEST(EntryText, JoinsTheTaggedFields) {
    EXPECT_EQ(entryText(iconKeyword(u"Zorv", u"RATS", 16), u"Zorv", pingField(16, 47)),
              u"[ICON]STAR[/ICON][USER]Zorv[/USER][PING]PLUG[/PING]");
    EXPECT_EQ(entryText(u"", u"", u"0"), u"[ICON][/ICON][USER][/USER][PING]0[/PING]");
}

TEST(EntryFields, ReadTheStoredFieldsBack) {
    const struct {
        std::u16string text;
        std::optional<std::u16string> name;
        std::u16string keyword;
        std::u16string ping;
    } cases[] = {
        {u"[ICON]X[/ICON][USER]Abc[/USER][PING]1[/PING]", u"Abc", u"X", u"1"},
        {u"[ICON][/ICON][USER][/USER][PING]47[/PING]", u"", u"", u"47"},
        {u"[ICON]GFOFFICIAL[/ICON][USER]Zorv[/USER][PING]PLUG[/PING]", u"Zorv", u"GFOFFICIAL", u"PLUG"},
        {u"[ICON]X[/ICON][USER]a[/USER]b[/USER][PING]-1[/PING]", u"a[/USER]b", u"X", u"-1"},
        {u"[ICON]X[/ICON][USER][USER]b[/USER][PING]1[/PING]", u"[USER]b", u"X", u"1"},
        {u"[ICON]X[/ICON][USER]a[/USER][PING]b[/ICON][USER]c[/USER][PING]1[/PING]",
         u"a[/USER][PING]b[/ICON][USER]c", u"X", u"1"},
        {u"[ICON]OP[/ICON][USER][/PING][ICON][/USER][PING]2[/PING]", u"[/PING][ICON]", u"OP", u"2"},
        {u"[ICON][/IC[/ICON][USER]n[/USER][PING]1[/PING]", u"n", u"[/IC", u"1"},
        // Texts this list never builds are read as [USER]name[/USER].
        {u"[USER]Abc[/USER] and more", u"Abc", u"", u""},
        {u"x[USER]Abc", u"Abc", u"", u""},
        {u"[USER]a[USER]b[/USER]", u"a", u"", u""},
        {u"no tags at all", std::nullopt, u"", u""},
        {u"", std::nullopt, u"", u""},
    };
    for (const auto& c : cases) {
        const auto name = nameFromEntryText(c.text);
        EXPECT_EQ(name.has_value(), c.name.has_value());
        const auto fields = entryFields(c.text);
        EXPECT_EQ(fields.name, c.name.value_or(u""));
        EXPECT_EQ(fields.keyword, c.keyword);
        EXPECT_EQ(fields.pingField, c.ping);
        if (name && c.name) {
            EXPECT_EQ(*name, *c.name);
        }
    }
}

TEST(NamesEqual, IgnoresCaseOnly) {
    const struct {
        std::u16string left;
        std::u16string right;
        bool equal;
    } cases[] = {
        {u"Abc", u"aBC", true},
        {u"", u"", true},
        {u"Zorv", u"Zorv ", false},
        {u"\u00C9LAN", u"\u00E9lan", true},       // beyond ASCII
        {u"\u0394\u03A9", u"\u03B4\u03C9", true}, // Greek
        {u"\U00010400", u"\U00010428", true},     // Deseret, outside the BMP
        {u"\U00010401", u"\U00020429", false},    // lower cases that share their low 16 bits
        {u"stra\u00DFe", u"STRASSE", false},      // simple mapping: no expansion
        {std::u16string{char16_t(0xD801)}, std::u16string{char16_t(0xD801)}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(namesEqual(c.left, c.right), c.equal);
    }
}

// The ranks from the top, by keyword: guests and the squelched come below
// the members, whatever their product.
TEST(Rank, FollowsTheKeyword) {
    const struct {
        std::u16string_view keyword;
        Rank rank;
    } cases[] = {
        {u"BLIZZ", Rank::blizzardRepresentative},
        {u"SYSOP", Rank::systemOperator},
        {u"OP", Rank::channelOperator},
        {u"SPKR", Rank::speaker},
        {u"GFOFFICIAL", Rank::gfOfficial},
        {u"GFPLAYER", Rank::gfPlayer},
        {u"STAR", Rank::member},
        {u"", Rank::member},
        {u"GLASSES", Rank::guest},
        {u"SQUELCH", Rank::squelched},
        {u"op", Rank::member},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rankOf(standingOf(c.keyword)), c.rank) << std::string(c.keyword.begin(), c.keyword.end());
    }
}

} // namespace
} // namespace tavrin
