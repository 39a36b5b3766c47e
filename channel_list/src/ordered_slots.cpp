#include "ordered_slots.h"

namespace tavrin {

OrderedSlots::OrderedSlots() {
    compact([](Item, Slot) {});
}

OrderedSlots::Slot OrderedSlots::takeFront(Item item) noexcept {
    --front_;
    items_[static_cast<std::size_t>(front_)] = item;
    add(front_, 1);
    ++size_;
    return front_;
}

OrderedSlots::Slot OrderedSlots::takeBack(Item item) noexcept {
    const Slot slot = back_++;
    items_[static_cast<std::size_t>(slot)] = item;
    add(slot, 1);
    ++size_;
    return slot;
}

void OrderedSlots::release(Slot slot) noexcept {
    items_[static_cast<std::size_t>(slot)] = empty;
    add(slot, -1);
    --size_;
}

void OrderedSlots::clear() noexcept {
    std::vector<Item>().swap(items_);
    std::vector<std::int32_t>().swap(tree_);
    highestPowerOfTwo_ = 1;
    front_ = 0;
    back_ = 0;
    size_ = 0;
}

void OrderedSlots::add(Slot slot, std::int32_t delta) noexcept {
    for (auto node = static_cast<std::size_t>(slot) + 1; node < tree_.size(); node += node & (~node + 1)) {
        tree_[node] += delta;
    }
}

std::int32_t OrderedSlots::positionOf(Slot slot) const noexcept {
    std::int32_t position = 0;
    for (auto node = static_cast<std::size_t>(slot) + 1; node > 0; node -= node & (~node + 1)) {
        position += tree_[node];
    }
    return position;
}

OrderedSlots::Slot OrderedSlots::slotAt(std::int32_t position) const noexcept {
    // Descend the tree to the last slot whose prefix count is below the position.
    std::size_t node = 0;
    for (auto step = static_cast<std::size_t>(highestPowerOfTwo_); step > 0; step /= 2) {
        const std::size_t next = node + step;
        if (next < tree_.size() && tree_[next] < position) {
            node = next;
            position -= tree_[next];
        }
    }
    return static_cast<Slot>(node); // the 1-based node after it is the wanted slot, 0-based
}

void OrderedSlots::rebuild(std::vector<Item> items) {
    std::vector<std::int32_t> tree(items.size() + 1, 0);
    for (std::size_t node = 1; node < tree.size(); ++node) {
        tree[node] += items[node - 1] == empty ? 0 : 1;
        const std::size_t parent = node + (node & (~node + 1));
        if (parent < tree.size()) {
            tree[parent] += tree[node];
        }
    }
    std::int32_t power = 1;
    while (static_cast<std::size_t>(power) * 2 < tree.size()) {
        power *= 2;
    }
    items_ = std::move(items);
    tree_ = std::move(tree);
    highestPowerOfTwo_ = power;
}

} // namespace tavrin
