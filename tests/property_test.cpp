// Thousands of random add and delete sequences over a few names that differ
// only in case, with searches and clears among them, must leave the list
// exactly as the plain reference leaves it, and show what a plain filter of
// the reference shows, as an observer follows it.

#include "channel_list/tavrin.h"

#include "reference_channel_list.h"

#include <gtest/gtest.h>

#include <random>

namespace tavrin {
namespace {

// Follows the entries that the list shows through its observer, as a view's
// model does; a new search is a fresh start.
class ShownMirror : public ChanSaveListObserver {
public:
    explicit ShownMirror(ChanSaveList& list) : list_(list) { list_.addObserver(this); }
    ~ShownMirror() { list_.removeObserver(this); }
    ShownMirror(const ShownMirror&) = delete;
    ShownMirror& operator=(const ShownMirror&) = delete;

    void startAfresh() {
        texts.clear();
        for (Position place = 1; place <= list_.shownCount(); ++place) {
            texts.emplace_back(list_.text(list_.shownEntry(place)));
        }
    }

    void aboutToInsert(Position, Position) override {}
    void inserted(Position position, Position shown) override {
        if (shown > 0) {
            texts.emplace(texts.begin() + shown - 1, list_.text(position));
        }
    }
    void aboutToRemove(Position, Position shown) override {
        if (shown > 0) {
            texts.erase(texts.begin() + shown - 1);
        }
    }
    void removed(Position, Position) override {}
    void aboutToClear() override {}
    void cleared() override { texts.clear(); }

    std::vector<std::u16string> texts;

private:
    ChanSaveList& list_;
};

std::vector<std::u16string> filtered(const std::vector<std::u16string>& texts, std::u16string_view search) {
    const auto folded = foldName(search);
    std::vector<std::u16string> shown;
    for (const auto& text : texts) {
        const auto name = nameFromEntryText(text);
        if (folded.empty() || (name && foldName(*name).find(folded) != std::u16string::npos)) {
            shown.push_back(text);
        }
    }
    return shown;
}

TEST(Property, MatchesThePlainReferenceList) {
    const std::u16string names[] = {u"zorv", u"Zorv", u"ZORV",      u"druvo",     u"DrUvO",  u"a",
                                    u"A",    u"",     u"x[/USER]y", u"X[/user]Y", u"\u00C9", u"\u00E9"};
    const std::u16string statuses[] = {u"RATS", u"PO", u"", u"PX3W"};
    const std::int32_t flagChoices[] = {0, 0x02, 0x10, 0x12, 0x20, 0x08, 0x22, 0x200000};
    const std::u16string searches[] = {u"", u"z", u"ZO", u"\u00E9", u"[/user]", u"a", u"x"};

    std::mt19937 random(20261209);
    auto pick = [&](const auto& choices) {
        return choices[std::uniform_int_distribution<std::size_t>(0, std::size(choices) - 1)(random)];
    };
    for (int sequence = 0; sequence < 3000; ++sequence) {
        ChanSaveList list;
        ShownMirror mirror(list);
        testing::ReferenceChannelList reference;
        std::u16string search;
        const int length = std::uniform_int_distribution<int>(1, 120)(random);
        for (int step = 0; step < length; ++step) {
            const auto& name = pick(names);
            if (random() % 10 == 0) {
                search = pick(searches);
                list.setSearch(search);
                mirror.startAfresh();
            } else if (random() % 40 == 0) {
                list.clear();
                reference.clear();
            } else if (random() % 3 == 0) {
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
            ASSERT_EQ(mirror.texts, filtered(reference.texts(), search))
                << "sequence " << sequence << " step " << step;
            ASSERT_EQ(list.shownCount(), static_cast<Position>(mirror.texts.size()));
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
