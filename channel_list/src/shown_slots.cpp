#include "shown_slots.h"

#include <bit>

namespace tavrin::detail {

ShownSlots::ShownSlots(Slot capacity)
    : bits_((static_cast<std::size_t>(capacity) + blockBits - 1) / blockBits, 0),
      shownInBlocks_(bits_.size(), [](std::size_t) { return 0; }) {}

void ShownSlots::show(Slot slot) noexcept {
    const auto block = static_cast<std::size_t>(slot) / blockBits;
    bits_[block] |= std::uint64_t{1} << (static_cast<unsigned>(slot) % blockBits);
    shownInBlocks_.add(block, 1);
    ++count_;
}

void ShownSlots::hide(Slot slot) noexcept {
    const auto block = static_cast<std::size_t>(slot) / blockBits;
    bits_[block] &= ~(std::uint64_t{1} << (static_cast<unsigned>(slot) % blockBits));
    shownInBlocks_.add(block, -1);
    --count_;
}

std::int32_t ShownSlots::rank(Slot slot) const noexcept {
    const auto block = static_cast<std::size_t>(slot) / blockBits;
    const unsigned bit = static_cast<unsigned>(slot) % blockBits;
    const std::uint64_t upToSlot = bit == blockBits - 1 ? ~std::uint64_t{0} : (std::uint64_t{2} << bit) - 1;
    return shownInBlocks_.sumBefore(block) + std::popcount(bits_[block] & upToSlot);
}

ShownSlots::Slot ShownSlots::select(std::int32_t place) const noexcept {
    // The block that holds the place, then the bit within it.
    const auto [block, before] = shownInBlocks_.reach(place);
    std::uint64_t bits = bits_[block];
    for (std::int32_t skipped = before + 1; skipped < place; ++skipped) {
        bits &= bits - 1;
    }
    return static_cast<Slot>(block * blockBits + static_cast<std::size_t>(std::countr_zero(bits)));
}

} // namespace tavrin::detail
