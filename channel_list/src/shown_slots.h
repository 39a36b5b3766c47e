#pragma once

#include "fenwick_tree.h"

#include <cstdint>
#include <vector>

namespace tavrin::detail {

// Which slots of an OrderedSlots hold an entry that a search shows: a bit a
// slot, and a Fenwick tree over blocks of 64 slots counting the bits, so that
// a shown slot's place among the shown ones, and the slot at a place, cost
// O(log n). It takes about a bit and a quarter a slot.
class ShownSlots {
public:
    using Slot = std::int32_t;

    ShownSlots() = default;
    // Room for slots 0 to capacity - 1, none shown.
    explicit ShownSlots(Slot capacity);

    std::int32_t count() const noexcept { return count_; }

    void show(Slot slot) noexcept;
    void hide(Slot slot) noexcept;

    // How many shown slots lie up to this one, itself included.
    std::int32_t rank(Slot slot) const noexcept;
    // The shown slot at this place, counted from 1.
    Slot select(std::int32_t place) const noexcept;

private:
    static constexpr int blockBits = 64;

    std::vector<std::uint64_t> bits_;
    FenwickTree<std::uint16_t> shownInBlocks_; // a list holds at most 32,767 entries
    std::int32_t count_ = 0;
};

} // namespace tavrin::detail
