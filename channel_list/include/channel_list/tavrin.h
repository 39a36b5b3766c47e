#pragma once

// What a chat client calls when members join, change or leave.

#include "channel_list/chan_save_list.h"
#include "channel_list/export.h"

#include <cstdint>
#include <string_view>

namespace tavrin {

// Adds the member, or refreshes the member's entry: one entry per name,
// compared without case, carrying the name as given here. Operators go to the
// top, newest first; everyone else to the bottom, in arrival order. Never
// throws: when something fails, or a new member finds the list full, the list
// is left as it was, and a member already listed keeps an entry.
TAVRIN_CHANNEL_LIST_EXPORT void TavrinAdd(ChanSaveList& list, std::u16string_view username,
                                          std::u16string_view Message, std::int32_t Flags,
                                          std::int32_t Ping) noexcept;

// Adds or refreshes the member as TavrinAdd does, but tells a failure by
// throwing it: std::length_error when a newcomer finds the list full, or what
// the list threw, such as std::bad_alloc. The list is then as it was. A
// member already listed can always be refreshed.
TAVRIN_CHANNEL_LIST_EXPORT void addOrRefresh(ChanSaveList& list, std::u16string_view username,
                                             std::u16string_view Message, std::int32_t Flags,
                                             std::int32_t Ping);

// Removes the member's entry, if listed. Failures reach the caller.
TAVRIN_CHANNEL_LIST_EXPORT void TavrinDel(ChanSaveList& list, std::u16string_view username);

} // namespace tavrin
