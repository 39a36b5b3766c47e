#include "channel_list/tavrin.h"

#include "channel_list/entry_text.h"
#include "reference_channel_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

namespace tavrin {
namespace {

using testing::textsOf;
using Texts = std::vector<std::u16string>;

std::u16string line(std::u16string_view keyword, std::u16string_view name, std::u16string_view ping = u"47") {
    return entryText(keyword, name, ping);
}

using Step = std::function<void(ChanSaveList&)>;

Step add(const std::u16string& name, std::int32_t Flags = 0, const std::u16string& Message = u"RATS") {
    return [=](ChanSaveList& list) {
        TavrinAdd(list, name, Message, Flags, 47);
    };
}

Step del(const std::u16string& name) {
    return [=](ChanSaveList& list) {
        TavrinDel(list, name);
    };
}

struct Scenario {
    const char* name;
    std::vector<Step> steps;
    Texts expected;
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

class Operations : public ::testing::TestWithParam<Scenario> {};

TEST_P(Operations, LeaveTheListInOrder) {
    ChanSaveList list;
    for (const auto& step : GetParam().steps) {
        step(list);
    }
    EXPECT_EQ(textsOf(list), GetParam().expected);
}

constexpr std::int32_t op = 0x02;

INSTANTIATE_TEST_SUITE_P(
    Scenarios, Operations,
    ::testing::Values(
        Scenario{"FirstAdd", {add(u"Zorv")}, {line(u"STAR", u"Zorv")}},
        Scenario{"OperatorOnEmptyList", {add(u"Op", op)}, {line(u"OP", u"Op")}},
        Scenario{"DeleteOnEmptyList", {del(u"Zorv")}, {}},
        Scenario{"OperatorsOnTopNewestFirst",
                 {add(u"N1"), add(u"O1", op), add(u"N2"), add(u"O2", op)},
                 {line(u"OP", u"O2"), line(u"OP", u"O1"), line(u"STAR", u"N1"), line(u"STAR", u"N2")}},
        Scenario{"RefreshMovesToBottom",
                 {add(u"A"), add(u"B"), add(u"C"), add(u"A", 0, u"PX3W")},
                 {line(u"STAR", u"B"), line(u"STAR", u"C"), line(u"W3XP", u"A")}},
        Scenario{"PromotionMovesToTop",
                 {add(u"A"), add(u"B"), add(u"B", op)},
                 {line(u"OP", u"B"), line(u"STAR", u"A")}},
        Scenario{"DemotionMovesToBottom",
                 {add(u"O", op), add(u"N1"), add(u"N2"), add(u"O")},
                 {line(u"STAR", u"N1"), line(u"STAR", u"N2"), line(u"STAR", u"O")}},
        Scenario{"RefreshKeepsTheLatestSpelling", {add(u"Zorv"), add(u"zorv")}, {line(u"STAR", u"zorv")}},
        Scenario{"DeleteIgnoresCase", {add(u"Zorv"), add(u"Other"), del(u"ZORV")}, {line(u"STAR", u"Other")}},
        Scenario{"DeleteUnknownChangesNothing", {add(u"Zorv"), del(u"Zor")}, {line(u"STAR", u"Zorv")}},
        // Full case folding joins these; lower-casing keeps them apart.
        Scenario{"LongSAndFinalSigmaAreNamesOfTheirOwn",
                 {add(u"\u017F"), add(u"s"), add(u"\u03C2"), add(u"\u03C3")},
                 {line(u"STAR", u"\u017F"), line(u"STAR", u"s"), line(u"STAR", u"\u03C2"),
                  line(u"STAR", u"\u03C3")}},
        Scenario{"StatusPOIsAnOperator",
                 {add(u"A"), add(u"B", 0, u"PO")},
                 {line(u"OP", u"B"), line(u"STAR", u"A")}},
        Scenario{"OnlyTheKeywordOPIsAnOperator",
                 {add(u"A"), add(u"B", 0, u"xxPO"), add(u"C", 0, u"Po")},
                 {line(u"STAR", u"A"), line(u"OPxx", u"B"), line(u"oP", u"C")}},
        Scenario{"EmptyNameIsAName",
                 {add(u""), add(u"X"), add(u"", 0, u"PX3W")},
                 {line(u"STAR", u"X"), line(u"W3XP", u"")}},
        Scenario{"EmptyNameCanBeDeleted", {add(u""), add(u"X"), del(u"")}, {line(u"STAR", u"X")}},
        // A name that holds tags is still one member, and no shorter name matches it.
        Scenario{"TaggedNameIsOneMember",
                 {add(u"a[/USER]b"), add(u"a[/USER]b", 0, u"PX3W")},
                 {line(u"W3XP", u"a[/USER]b")}},
        Scenario{"TaggedNameCanBeDeleted", {add(u"[USER]x[/USER]"), del(u"[user]X[/user]")}, {}},
        Scenario{"PrefixOfTaggedNameDoesNotMatch",
                 {add(u"a[/USER]b"), del(u"a"), add(u"a")},
                 {line(u"STAR", u"a[/USER]b"), line(u"STAR", u"a")}},
        Scenario{"MarkersOnly",
                 {add(u"[/USER][PING]"), add(u"[/ICON][USER]"), add(u"[/USER][PING]", op)},
                 {line(u"OP", u"[/USER][PING]"), line(u"STAR", u"[/ICON][USER]")}}),
    [](const auto& info) { return info.param.name; });

TEST(Lookup, FirstMatchFromTheTopWins) {
    // Only the store itself can hold two entries of one name; the upper one is found.
    ChanSaveList list;
    list.append(line(u"STAR", u"Twin", u"1"));
    list.append(line(u"STAR", u"other"));
    list.append(line(u"STAR", u"TWIN", u"2"));
    list.insertAtTop(line(u"OP", u"twin", u"3"));
    EXPECT_EQ(list.find(u"tWiN"), Position{1});
    TavrinDel(list, u"twin");
    EXPECT_EQ(list.find(u"twin"), Position{1});
    TavrinAdd(list, u"Twin", u"RATS", 0, 9);
    EXPECT_EQ(textsOf(list),
              (Texts{line(u"STAR", u"other"), line(u"STAR", u"TWIN", u"2"), line(u"STAR", u"Twin", u"9")}));
    EXPECT_EQ(list.find(u"TWIN"), Position{2});
}

TEST(Store, RejectsPositionsOutsideTheList) {
    ChanSaveList list;
    list.append(u"[USER]a[/USER]");
    for (const Position bad : {Position{0}, Position{2}, Position{-1}, ChanSaveList::maxCount}) {
        EXPECT_THROW((void)list.text(bad), std::out_of_range);
        EXPECT_THROW(list.removeAt(bad), std::out_of_range);
        EXPECT_THROW(list.replace(bad, u"x", Placement::top), std::out_of_range);
    }
    EXPECT_NO_THROW(TavrinDel(list, u"b"));
}

TEST(Store, NamelessTextsAreKeptButNeverFound) {
    ChanSaveList list;
    list.append(u"no name here");
    list.append(u"[ICON][/ICON][USER][/USER][PING]0[/PING]");
    EXPECT_EQ(list.find(u""), Position{2});
    list.replace(2, u"still no name", Placement::top);
    EXPECT_EQ(list.find(u""), std::nullopt);
    EXPECT_EQ(textsOf(list), (Texts{u"still no name", u"no name here"}));
}

TEST(Store, ReplacingWithAnotherNameForgetsTheOldOne) {
    ChanSaveList list;
    list.append(line(u"STAR", u"Old"));
    list.append(line(u"STAR", u"Other"));
    list.replace(1, line(u"STAR", u"New"), Placement::bottom);
    EXPECT_EQ(list.find(u"old"), std::nullopt);
    EXPECT_EQ(list.find(u"NEW"), Position{2});
    list.replace(2, line(u"OP", u"new"), Placement::top);
    EXPECT_EQ(list.find(u"New"), Position{1});
}

// Two entries of one name, as a caller of the list's own insertions may
// make: by rank they stand in the list's order, and a refresh of one that
// keeps its rank and name still takes its new place among them.
TEST(Store, ByRankTwinsOfOneNameFollowTheListsOrder) {
    ChanSaveList list;
    list.append(line(u"STAR", u"Twin"));
    list.append(line(u"RATS", u"Twin"));
    list.setShownOrder(ShownOrder::rankThenName);
    list.replace(2, line(u"WAR3", u"twin"), Placement::top);
    EXPECT_EQ(list.shownText(1), line(u"WAR3", u"twin"));
    EXPECT_EQ(list.shownText(2), line(u"STAR", u"Twin"));
}

TEST(Search, ShowsTheMembersWhoseNameHoldsTheText) {
    ChanSaveList list;
    for (const char16_t* name : {u"Zorv", u"kestrel", u"\u00C4sa", u"a[/USER]b", u"Mirelle"}) {
        TavrinAdd(list, name, u"RATS", 0, 47);
    }
    TavrinAdd(list, u"Druvo", u"RATS", 0, 47); // an operator, at the top
    const struct {
        std::u16string search;
        std::vector<std::u16string> shown;
    } cases[] = {
        {u"", {u"Druvo", u"Zorv", u"kestrel", u"\u00C4sa", u"a[/USER]b", u"Mirelle"}},
        {u"zorv", {u"Zorv"}},
        {u"ZO", {u"Zorv"}},
        {u"\u00E4", {u"\u00C4sa"}}, // a lower-case search finds an upper-case name
        {u"r", {u"Druvo", u"Zorv", u"kestrel", u"a[/USER]b", u"Mirelle"}}, // the tag in a name is the name
        {u"[/user]", {u"a[/USER]b"}},
        {u"STAR", {}}, // keywords and pings are not names
        {u"47", {}},
        {u"[PING]", {}},
        {u"zorvx", {}},
    };
    for (const auto& c : cases) {
        list.setSearch(c.search);
        std::vector<std::u16string> shown;
        for (Position place = 1; place <= list.shownCount(); ++place) {
            shown.emplace_back(*nameFromEntryText(list.text(list.shownEntry(place))));
        }
        EXPECT_EQ(shown, c.shown) << std::string(c.search.begin(), c.search.end());
        EXPECT_EQ(list.isNarrowed(), !c.search.empty());
        const auto zorv = std::find(c.shown.begin(), c.shown.end(), u"Zorv");
        EXPECT_EQ(list.shownPositionOf(2), zorv == c.shown.end() ? 0 : zorv - c.shown.begin() + 1)
            << "Zorv, second in the list";
    }
    EXPECT_THROW((void)list.shownEntry(1), std::out_of_range);
}

class Capacity : public ::testing::Test {
protected:
    static std::u16string member(int index) {
        const auto digits = std::to_string(index);
        std::u16string name(1, u'm');
        return name.append(digits.begin(), digits.end());
    }

    void fill() {
        ASSERT_EQ(ChanSaveList::maxCount, 32767);
        for (int index = 0; index < ChanSaveList::maxCount; ++index) {
            TavrinAdd(list, member(index), u"RATS", 0, index);
        }
        ASSERT_TRUE(list.isFull());
    }

    ChanSaveList list;
};

TEST_F(Capacity, FullListTurnsNewMembersAway) {
    fill();
    TavrinAdd(list, u"newcomer", u"RATS", 0, 1);
    TavrinAdd(list, u"newop", u"RATS", op, 1);
    EXPECT_EQ(list.count(), ChanSaveList::maxCount);
    EXPECT_EQ(list.find(u"newcomer"), std::nullopt);
    EXPECT_EQ(list.find(u"newop"), std::nullopt);
    EXPECT_THROW(list.append(u"[USER]x[/USER]"), std::length_error);
    EXPECT_THROW(list.insertAtTop(u"[USER]x[/USER]"), std::length_error);
}

TEST_F(Capacity, FullListStillRefreshesAndMakesRoomAfterDelete) {
    fill();
    TavrinAdd(list, u"M100", u"RATS", op, 5);
    EXPECT_EQ(list.text(1), line(u"OP", u"M100", u"5"));
    TavrinAdd(list, u"m0", u"PX3W", 0, 6);
    EXPECT_EQ(list.text(ChanSaveList::maxCount), line(u"W3XP", u"m0", u"6"));
    EXPECT_EQ(list.count(), ChanSaveList::maxCount);
    TavrinDel(list, u"m5");
    TavrinAdd(list, u"newcomer", u"RATS", 0, 1);
    EXPECT_EQ(list.find(u"newcomer"), ChanSaveList::maxCount);
}

// A search that shows thousands places each of them, far past what a byte counts.
TEST_F(Capacity, AWideSearchPlacesEveryMemberItShows) {
    fill();
    list.setSearch(u"m2");
    ASSERT_EQ(list.shownCount(), 1 + 10 + 100 + 1000 + 10000); // m2, m20 to m29, ...
    for (const Position place : {Position{1}, Position{300}, Position{5000}, list.shownCount()}) {
        const Position position = list.shownEntry(place);
        EXPECT_EQ(list.shownPositionOf(position), place);
        EXPECT_TRUE(nameFromEntryText(list.text(position))->starts_with(u"m2")) << place;
    }
    EXPECT_EQ(list.shownPositionOf(list.find(u"m29999").value()), list.shownCount());
}

TEST_F(Capacity, ClearingAFullListLetsItFillAgain) {
    fill();
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.find(u"m5"), std::nullopt);
    TavrinAdd(list, u"m5", u"RATS", 0, 5);
    TavrinAdd(list, u"op", u"RATS", op, 1);
    EXPECT_EQ(textsOf(list), (Texts{line(u"OP", u"op", u"1"), line(u"STAR", u"m5", u"5")}));
    list.clear();
    fill();
}

// Tells the list's changes back, to check a view could follow them. Added as
// a plain observer, it hears no replacements.
class RecordingObserver : public ChanSaveListReplaceObserver {
public:
    void aboutToInsert(const ListChange& change) noexcept override { record("+", change, "?"); }
    void inserted(const ListChange& change) noexcept override { record("+", change, ""); }
    void aboutToRemove(const ListChange& change) noexcept override { record("-", change, "?"); }
    void removed(const ListChange& change) noexcept override { record("-", change, ""); }
    void aboutToClear() noexcept override { events.emplace_back("0?"); }
    void cleared() noexcept override { events.emplace_back("0"); }
    void aboutToReplace(const ListChange& from, const ListChange& to) noexcept override {
        replace(from, to, "?");
    }
    void replaced(const ListChange& from, const ListChange& to) noexcept override { replace(from, to, ""); }
    std::vector<std::string> events;

private:
    // The shown position is written only where it differs from the position.
    void record(const char* kind, const ListChange& change, const char* before) {
        const Position position = change.position;
        const Position shown = change.shownPosition;
        events.push_back(kind + std::to_string(position) +
                         (shown == position ? std::string() : "@" + std::to_string(shown)) + before);
    }
    void replace(const ListChange& from, const ListChange& to, const char* before) {
        record("~", from, "");
        record(">", to, before);
        events.rbegin()[1] += events.back();
        events.pop_back();
    }
};

TEST(Observer, EachHearsEachChangeBeforeAndAfter) {
    ChanSaveList list;
    RecordingObserver first;
    RecordingObserver second;
    list.addObserver(static_cast<ChanSaveListObserver*>(&first));
    list.addObserver(&second);
    TavrinAdd(list, u"A", u"RATS", 0, 1);
    TavrinAdd(list, u"B", u"RATS", 0, 1);
    TavrinAdd(list, u"b", u"RATS", op, 1);
    TavrinAdd(list, u"a", u"RATS", 0, 2);
    TavrinDel(list, u"b");
    TavrinDel(list, u"nobody");
    list.clear();
    EXPECT_EQ(first.events, (std::vector<std::string>{"+1?", "+1", "+2?", "+2", "-2?", "-2", "+1?", "+1",
                                                      "-2?", "-2", "+2?", "+2", "-1?", "-1", "0?", "0"}))
        << "a plain observer hears a removal and an insertion";
    EXPECT_EQ(second.events, (std::vector<std::string>{"+1?", "+1", "+2?", "+2", "~2>1?", "~2>1", "~2>2?",
                                                       "~2>2", "-1?", "-1", "0?", "0"}))
        << "a move to the top, then a change in place";
    list.removeObserver(&first);
    TavrinAdd(list, u"C", u"RATS", 0, 1);
    EXPECT_EQ(first.events.size(), 16U);
    EXPECT_EQ(second.events.size(), 14U) << "removing one observer leaves the others";
}

} // namespace
} // namespace tavrin
