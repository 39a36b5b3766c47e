#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrin::detail {

// Counts over a row of elements, kept so that the sum of the counts before an
// element, and the element where a running sum reaches a total, cost
// O(log n) each, and so does changing one count. Count is the stored integer
// type: a narrow one keeps a large tree small when its sums stay small.
template <typename Count> class FenwickTree {
public:
    FenwickTree() = default;
    // Over this many elements, each counting what countOf(element) says; O(n).
    template <typename CountOf> FenwickTree(std::size_t size, CountOf countOf) : tree_(size + 1, 0) {
        for (std::size_t node = 1; node < tree_.size(); ++node) {
            tree_[node] = static_cast<Count>(tree_[node] + countOf(node - 1));
            const std::size_t parent = node + lowestBit(node);
            if (parent < tree_.size()) {
                tree_[parent] = static_cast<Count>(tree_[parent] + tree_[node]);
            }
        }
        while (highestPowerOfTwo_ * 2 < tree_.size()) {
            highestPowerOfTwo_ *= 2;
        }
    }

    std::size_t size() const noexcept { return tree_.empty() ? 0 : tree_.size() - 1; }

    void add(std::size_t element, std::int32_t delta) noexcept {
        for (std::size_t node = element + 1; node < tree_.size(); node += lowestBit(node)) {
            tree_[node] = static_cast<Count>(tree_[node] + delta);
        }
    }

    // The counts of the elements before this one, which may be size().
    std::int32_t sumBefore(std::size_t element) const noexcept {
        std::int32_t sum = 0;
        for (std::size_t node = element; node > 0; node -= lowestBit(node)) {
            sum += tree_[node];
        }
        return sum;
    }

    // The first element at which the running sum reaches total (at least 1),
    // and the sum of the counts before it.
    struct Reached {
        std::size_t element;
        std::int32_t before;
    };
    Reached reach(std::int32_t total) const noexcept {
        std::size_t node = 0;
        std::int32_t before = 0;
        for (std::size_t step = highestPowerOfTwo_; step > 0; step /= 2) {
            const std::size_t next = node + step;
            if (next < tree_.size() && before + tree_[next] < total) {
                node = next;
                before += tree_[next];
            }
        }
        return {node, before}; // the 1-based node after it is the element, 0-based
    }

private:
    static std::size_t lowestBit(std::size_t node) noexcept { return node & (~node + 1); }

    std::vector<Count> tree_; // 1-based
    std::size_t highestPowerOfTwo_ = 1;
};

} // namespace tavrin::detail
