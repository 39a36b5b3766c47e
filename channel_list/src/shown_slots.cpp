#include "shown_slots.h"

#include <bit>

namespace tavrin {

ShownSlots::ShownSlots(Slot capacity)
    : bits_((static_cast<std::size_t>(capacity) + blockBits - 1) / blockBits, 0), tree_(bits_.size() + 1, 0) {
    while (highestPowerOfTwo_ * 2 < tree_.size()) {
        highestPowerOfTwo_ *= 2;
    }
}

void ShownSlots::show(Slot slot) noexcept {
    const auto block = static_cast<std::size_t>(slot) / blockBits;
    bits_[block] |= std::uint64_t{1} << (static_cast<unsigned>(slot) % blockBits);
    add(block, 1);
    ++count_;
}

void ShownSlots::hide(Slot slot) noexcept {
    const auto block = static_cast<std::size_t>(slot) / blockBits;
    bits_[block] &= ~(std::uint64_t{1} << (static_cast<unsigned>(slot) % blockBits));
    add(block, -1);
    --count_;
}

void ShownSlots::add(std::size_t block, int delta) noexcept {
    for (std::size_t node = block + 1; node < tree_.size(); node += node & (~node + 1)) {
        tree_[node] = static_cast<std::uint16_t>(tree_[node] + delta);
    }
}

std::int32_t ShownSlots::rank(Slot slot) const noexcept {
    const auto block = static_cast<std::size_t>(slot) / blockBits;
    const unsigned bit = static_cast<unsigned>(slot) % blockBits;
    const std::uint64_t upToSlot = bit == blockBits - 1 ? ~std::uint64_t{0} : (std::uint64_t{2} << bit) - 1;
    std::int32_t shown = std::popcount(bits_[block] & upToSlot);
    for (std::size_t node = block; node > 0; node -= node & (~node + 1)) {
        shown += tree_[node];
    }
    return shown;
}

ShownSlots::Slot ShownSlots::select(std::int32_t place) const noexcept {
    // Descend the tree to the block that holds the place, then count its bits.
    std::size_t node = 0;
    for (std::size_t step = highestPowerOfTwo_; step > 0; step /= 2) {
        const std::size_t next = node + step;
        if (next < tree_.size() && tree_[next] < place) {
            node = next;
            place -= tree_[next];
        }
    }
    std::uint64_t bits = bits_[node];
    for (; place > 1; --place) {
        bits &= bits - 1;
    }
    return static_cast<Slot>(node * blockBits + static_cast<std::size_t>(std::countr_zero(bits)));
}

} // namespace tavrin
