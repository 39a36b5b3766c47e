#pragma once

// The channel list as plainly as it can be written: a vector of texts scanned
// from the top, reading each name back. The real list must always match it.

#include "channel_list/chan_save_list.h"
#include "channel_list/entry_text.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tavrin::testing {

class ReferenceChannelList {
public:
    void add(std::u16string_view username, std::u16string_view Message, std::int32_t Flags,
             std::int32_t Ping) {
        const auto keyword = iconKeyword(username, Message, Flags);
        auto text = entryText(keyword, username, pingField(Flags, Ping));
        const auto found = find(username);
        if (found == texts_.end() && texts_.size() == static_cast<std::size_t>(ChanSaveList::maxCount)) {
            return;
        }
        if (found != texts_.end()) {
            texts_.erase(found);
        }
        if (keyword == operatorKeyword) {
            texts_.insert(texts_.begin(), std::move(text));
        } else {
            texts_.push_back(std::move(text));
        }
    }

    void del(std::u16string_view username) {
        if (const auto found = find(username); found != texts_.end()) {
            texts_.erase(found);
        }
    }

    void clear() { texts_.clear(); }

    // Appends the text of a member known to be new, without a look-up.
    void appendNewMember(std::u16string text) { texts_.push_back(std::move(text)); }

    const std::vector<std::u16string>& texts() const { return texts_; }

private:
    std::vector<std::u16string>::iterator find(std::u16string_view username) {
        const auto wanted = foldName(username);
        return std::find_if(texts_.begin(), texts_.end(), [&](const std::u16string& text) {
            const auto name = nameFromEntryText(text);
            return name && foldName(*name) == wanted;
        });
    }

    std::vector<std::u16string> texts_;
};

inline Rank rankOfText(std::u16string_view text) {
    return rankOf(standingOf(entryFields(text).keyword));
}

// What a search for this text shows of these entries, in the same order.
inline std::vector<std::u16string> filtered(const std::vector<std::u16string>& texts,
                                            std::u16string_view search) {
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

// The entries by rank, then the lower-cased name as code points; a stable sort keeps the
// list's order among equals.
inline std::vector<std::u16string> byRankThenName(std::vector<std::u16string> texts) {
    const auto key = [](const std::u16string& text) {
        const auto name = foldName(nameFromEntryText(text).value_or(u""));
        std::u32string codePoints;
        for (std::size_t at = 0; at < name.size(); ++at) {
            const bool pair = at + 1 < name.size() && name[at] >= 0xD800 && name[at] < 0xDC00 &&
                              name[at + 1] >= 0xDC00 && name[at + 1] < 0xE000;
            codePoints += pair ? char32_t(0x10000 + ((name[at] - 0xD800) << 10) + (name[at + 1] - 0xDC00))
                               : char32_t(name[at]);
            at += pair ? 1 : 0;
        }
        return std::pair(rankOfText(text), codePoints);
    };
    std::stable_sort(texts.begin(), texts.end(),
                     [&](const auto& a, const auto& b) { return key(a) < key(b); });
    return texts;
}

inline std::vector<std::u16string> namedFrom(const std::vector<std::u16string>& texts,
                                             std::u16string_view prefix) {
    std::vector<std::u16string> named;
    for (const auto& text : byRankThenName(texts)) {
        const auto name = nameFromEntryText(text);
        if (name && foldName(*name).starts_with(foldName(prefix))) {
            named.push_back(text);
        }
    }
    return named;
}

inline std::vector<std::u16string> textsOf(const ChanSaveList& list) {
    std::vector<std::u16string> texts;
    for (int position = 1; position <= list.count(); ++position) {
        texts.emplace_back(list.text(static_cast<Position>(position)));
    }
    return texts;
}

} // namespace tavrin::testing
