#include "ordered_slots.h"

namespace tavrin::detail {

OrderedSlots::OrderedSlots() {
    compact([](Item, Slot) {});
}

OrderedSlots::Slot OrderedSlots::takeFront(Item item) noexcept {
    --front_;
    items_[static_cast<std::size_t>(front_)] = item;
    occupied_.add(static_cast<std::size_t>(front_), 1);
    ++size_;
    return front_;
}

OrderedSlots::Slot OrderedSlots::takeBack(Item item) noexcept {
    const Slot slot = back_++;
    items_[static_cast<std::size_t>(slot)] = item;
    occupied_.add(static_cast<std::size_t>(slot), 1);
    ++size_;
    return slot;
}

void OrderedSlots::release(Slot slot) noexcept {
    items_[static_cast<std::size_t>(slot)] = empty;
    occupied_.add(static_cast<std::size_t>(slot), -1);
    --size_;
}

void OrderedSlots::clear() noexcept {
    std::vector<Item>().swap(items_);
    occupied_ = {};
    front_ = 0;
    back_ = 0;
    size_ = 0;
}

std::int32_t OrderedSlots::positionOf(Slot slot) const noexcept {
    return occupied_.sumBefore(static_cast<std::size_t>(slot) + 1);
}

OrderedSlots::Slot OrderedSlots::slotAt(std::int32_t position) const noexcept {
    return static_cast<Slot>(occupied_.reach(position).element);
}

void OrderedSlots::rebuild(std::vector<Item> items) {
    FenwickTree<std::int32_t> occupied(items.size(),
                                       [&](std::size_t slot) { return items[slot] == empty ? 0 : 1; });
    items_ = std::move(items);
    occupied_ = std::move(occupied);
}

} // namespace tavrin::detail
