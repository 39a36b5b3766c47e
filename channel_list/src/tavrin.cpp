#include "channel_list/tavrin.h"

#include "channel_list/entry_text.h"

namespace tavrin {

void addOrRefresh(ChanSaveList& list, std::u16string_view username, std::u16string_view Message,
                  std::int32_t Flags, std::int32_t Ping) {
    const std::u16string keyword = iconKeyword(username, Message, Flags);
    const std::u16string text = entryText(keyword, username, pingField(Flags, Ping));
    const Placement placement = keyword == operatorKeyword ? Placement::top : Placement::bottom;
    if (const auto position = list.find(username)) {
        list.replace(*position, text, placement);
    } else {
        list.insert(text, placement); // throws when the list is full
    }
}

void TavrinAdd(ChanSaveList& list, std::u16string_view username, std::u16string_view Message,
               std::int32_t Flags, std::int32_t Ping) noexcept {
    try {
        addOrRefresh(list, username, Message, Flags, Ping);
    } catch (...) {
        // Adding never fails towards the chat client; the list is as it was.
    }
}

void TavrinDel(ChanSaveList& list, std::u16string_view username) {
    if (const auto position = list.find(username)) {
        list.removeAt(*position);
    }
}

} // namespace tavrin
