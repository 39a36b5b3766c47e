#pragma once

#include "fenwick_tree.h"

#include <cstdint>
#include <vector>

namespace tavrin::detail {

// The order of a sequence whose items only ever enter at its front or its back
// and may leave from anywhere, as a channel list's members do. Each item sits
// in a slot; slot order is sequence order, and a Fenwick tree over the occupied
// slots turns a slot into a position and a position into a slot in O(log n).
// Nothing shifts when an item enters or leaves.
class OrderedSlots {
public:
    using Slot = std::int32_t;
    using Item = std::int32_t;

    OrderedSlots();

    std::int32_t size() const noexcept { return size_; }
    Slot capacity() const noexcept { return static_cast<Slot>(items_.size()); }
    // The capacity that compact() gives.
    Slot compactedCapacity() const noexcept { return 4 * size_ + 64; }
    bool hasRoomAtFront() const noexcept { return front_ > 0; }
    bool hasRoomAtBack() const noexcept { return back_ < capacity(); }

    // The slot that the next item at the front or the back takes.
    Slot nextSlot(bool front) const noexcept { return front ? front_ - 1 : back_; }
    // Both need room on their side.
    Slot takeFront(Item item) noexcept;
    Slot takeBack(Item item) noexcept;
    void release(Slot slot) noexcept;
    // Forgets every item and frees the slots; the next item takes new ones.
    void clear() noexcept;

    // Positions count from 1.
    std::int32_t positionOf(Slot slot) const noexcept;
    Slot slotAt(std::int32_t position) const noexcept;
    Item itemIn(Slot slot) const noexcept { return items_[static_cast<std::size_t>(slot)]; }

    // Spreads the items over fresh slots with room on both sides and calls
    // moved(item, newSlot) for each. Allocates before it changes anything, so
    // a failure leaves the order as it was.
    template <typename Moved> void compact(Moved moved);

    // Calls visit(item, slot) for each item, in order.
    template <typename Visit> void forEach(Visit visit) const {
        for (Slot slot = front_; slot < back_; ++slot) {
            if (itemIn(slot) != empty) {
                visit(itemIn(slot), slot);
            }
        }
    }

private:
    static constexpr Item empty = -1;

    void rebuild(std::vector<Item> items);

    std::vector<Item> items_;
    FenwickTree<std::int32_t> occupied_; // one for each slot that holds an item
    Slot front_ = 0;                     // first occupied slot, or where the next front item goes after it
    Slot back_ = 0;                      // one past the last occupied slot
    std::int32_t size_ = 0;
};

template <typename Moved> void OrderedSlots::compact(Moved moved) {
    // Four slots a member keep a rebuild at least one and a half list lengths away.
    const auto newCapacity = static_cast<std::size_t>(compactedCapacity());
    std::vector<Item> items(newCapacity, empty);
    const auto firstSlot = static_cast<Slot>((newCapacity - static_cast<std::size_t>(size_)) / 2);
    Slot next = firstSlot;
    for (Slot slot = front_; slot < back_; ++slot) {
        if (itemIn(slot) != empty) {
            items[static_cast<std::size_t>(next++)] = itemIn(slot);
        }
    }
    rebuild(std::move(items));
    front_ = firstSlot;
    back_ = next;
    for (Slot slot = front_; slot < back_; ++slot) {
        moved(itemIn(slot), slot);
    }
}

} // namespace tavrin::detail
