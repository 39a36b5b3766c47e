// Thousands of random add and delete sequences over a few names that differ
// only in case, with searches, order switches and clears among them, must
// leave the list exactly as the plain reference leaves it, and show what a
// plain filter of the reference shows, plainly sorted when shown by rank, as
// an observer follows it.

#include "channel_list/tavrin.h"

#include "reference_channel_list.h"

#include <gtest/gtest.h>

#include <random>

namespace tavrin {
namespace {

// Follows the list, and the entries that it shows, through its observer, as
// a view's model does; a new search is a fresh start.
class ShownMirror : public ChanSaveListReplaceObserver {
public:
    // A plain observer hears a replacement as a removal and an insertion.
    ShownMirror(ChanSaveList& list, bool plain) : list_(list) {
        plain ? list_.addObserver(static_cast<ChanSaveListObserver*>(this)) : list_.addObserver(this);
    }
    ~ShownMirror() { list_.removeObserver(this); }
    ShownMirror(const ShownMirror&) = delete;
    ShownMirror& operator=(const ShownMirror&) = delete;

    void startAfresh() {
        texts.clear();
        for (Position place = 1; place <= list_.shownCount(); ++place) {
            texts.emplace_back(list_.text(list_.shownEntry(place)));
        }
    }

    void aboutToInsert(const ListChange&) noexcept override {}
    void inserted(const ListChange& change) noexcept override {
        ++insertions;
        all.emplace(all.begin() + change.position - 1, list_.text(change.position));
        if (change.shownPosition > 0) {
            texts.emplace(texts.begin() + change.shownPosition - 1, list_.text(change.position));
        }
    }
    void aboutToRemove(const ListChange& change) noexcept override {
        ++removals;
        all.erase(all.begin() + change.position - 1);
        if (change.shownPosition > 0) {
            texts.erase(texts.begin() + change.shownPosition - 1);
        }
    }
    void removed(const ListChange&) noexcept override {}
    void aboutToClear() noexcept override {}
    void cleared() noexcept override {
        all.clear();
        texts.clear();
    }
    void aboutToReplace(const ListChange& from, const ListChange&) noexcept override {
        all.erase(all.begin() + from.position - 1);
        if (from.shownPosition > 0) {
            texts.erase(texts.begin() + from.shownPosition - 1);
        }
    }
    void replaced(const ListChange&, const ListChange& to) noexcept override {
        all.emplace(all.begin() + to.position - 1, list_.text(to.position));
        if (to.shownPosition > 0) {
            texts.emplace(texts.begin() + to.shownPosition - 1, list_.text(to.position));
        }
        ASSERT_EQ(to.rank, list_.rankAt(to.position));
    }

    std::vector<std::u16string> all;   // the whole list, in its order
    std::vector<std::u16string> texts; // what it shows
    int insertions = 0;
    int removals = 0;

private:
    ChanSaveList& list_;
};

using testing::byRankThenName;
using testing::filtered;
using testing::namedFrom;

TEST(Property, MatchesThePlainReferenceList) {
    const std::u16string names[] = {u"zorv",   u"Zorv",   u"ZORV",       u"druvo",     u"DrUvO",
                                    u"a",      u"A",      u"",           u"x[/USER]y", u"X[/user]Y",
                                    u"\u00C9", u"\u00E9", u"\U0001F600", u"\uFF21"};
    const std::u16string statuses[] = {u"RATS", u"PO", u"", u"PX3W"};
    const std::int32_t flagChoices[] = {0,    0x02,     0x10, 0x12, 0x20, 0x08,
                                        0x22, 0x200000, 0x01, 0x04, 0x40, 0x100000};
    const std::u16string searches[] = {u"", u"z", u"ZO", u"\u00E9", u"[/user]", u"a", u"x"};

    std::mt19937 random(20261209);
    auto pick = [&](const auto& choices) {
        return choices[std::uniform_int_distribution<std::size_t>(0, std::size(choices) - 1)(random)];
    };
    for (int sequence = 0; sequence < 3000; ++sequence) {
        ChanSaveList list;
        ShownMirror mirror(list, false);
        ShownMirror plainMirror(list, true);
        testing::ReferenceChannelList reference;
        std::u16string search;
        bool ranked = false;
        bool held = false;
        const int length = std::uniform_int_distribution<int>(1, 120)(random);
        for (int step = 0; step < length; ++step) {
            const auto& name = pick(names);
            if (random() % 15 == 0) {
                ranked = !ranked;
                list.setShownOrder(ranked ? ShownOrder::rankThenName : ShownOrder::list);
                mirror.startAfresh();
                plainMirror.startAfresh();
            } else if (random() % 30 == 0) {
                held ? list.releaseRankIndex() : list.holdRankIndex();
                held = !held;
            } else if (random() % 10 == 0) {
                search = pick(searches);
                list.setSearch(search);
                mirror.startAfresh();
                plainMirror.startAfresh();
            } else if (random() % 25 == 0) {
                // A batch with the rank index put off: built afterwards, it
                // orders the entries as if kept all along.
                list.putOffRankIndex();
                for (int joined = 0; joined < 6; ++joined) {
                    const auto& joining = pick(names);
                    const auto Flags = pick(flagChoices);
                    joined % 3 == 2 ? TavrinDel(list, joining) : TavrinAdd(list, joining, u"RATS", Flags, 1);
                    joined % 3 == 2 ? reference.del(joining) : reference.add(joining, u"RATS", Flags, 1);
                }
                list.buildPutOffRankIndex();
                mirror.startAfresh();
                plainMirror.startAfresh();
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
                const bool listed = list.find(name).has_value();
                const int leavesAndJoins = mirror.removals + mirror.insertions;
                TavrinAdd(list, name, status, Flags, Ping);
                reference.add(name, status, Flags, Ping);
                if (listed) {
                    ASSERT_EQ(mirror.removals + mirror.insertions, leavesAndJoins)
                        << "a refresh is a move or a change, never a leave and a join";
                }
            }
            ASSERT_EQ(testing::textsOf(list), reference.texts())
                << "sequence " << sequence << " step " << step;
            ASSERT_EQ(mirror.all, reference.texts()) << "sequence " << sequence << " step " << step;
            ASSERT_EQ(plainMirror.all, reference.texts()) << "sequence " << sequence << " step " << step;
            ASSERT_EQ(plainMirror.texts, mirror.texts) << "sequence " << sequence << " step " << step;
            const auto shown = filtered(reference.texts(), search);
            ASSERT_EQ(mirror.texts, ranked ? byRankThenName(shown) : shown)
                << "sequence " << sequence << " step " << step;
            for (int rank = 0; rank < rankCount; ++rank) {
                ASSERT_EQ(list.shownCountIn(Rank(rank)),
                          std::count_if(shown.begin(), shown.end(), [&](const auto& text) {
                              return testing::rankOfText(text) == Rank(rank);
                          }));
            }
            const auto& prefix = pick(searches);
            std::vector<std::u16string> named;
            for (const Position position : list.entriesNamedFrom(prefix)) {
                named.emplace_back(list.text(position));
            }
            ASSERT_EQ(named, namedFrom(reference.texts(), prefix))
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
