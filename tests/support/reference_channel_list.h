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

inline std::vector<std::u16string> textsOf(const ChanSaveList& list) {
    std::vector<std::u16string> texts;
    for (int position = 1; position <= list.count(); ++position) {
        texts.emplace_back(list.text(static_cast<Position>(position)));
    }
    return texts;
}

} // namespace tavrin::testing
