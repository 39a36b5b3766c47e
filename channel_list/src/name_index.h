#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrin::detail {

// The entries of a list by the hash of their folded names: open addressing
// with linear probing, at most half full, so a probe is short. The index
// keeps only ids; whoever owns the entries says what each one's hash is.
class NameIndex {
public:
    using Id = std::int32_t;

    std::size_t size() const noexcept { return indexed_; }
    std::size_t capacity() const noexcept { return table_.size(); }

    // Room for this many more ids, so that insert() cannot fail; rehashes
    // with hashOf(id) when it grows, and changes nothing when that fails.
    template <typename HashOf> void reserve(std::size_t more, HashOf hashOf) {
        if (2 * (indexed_ + more) <= table_.size()) {
            return;
        }
        std::vector<Id> grown(std::max<std::size_t>(64, 2 * table_.size()), none);
        for (const Id id : table_) {
            if (id != none) {
                emptyFor(grown, hashOf(id)) = id;
            }
        }
        table_.swap(grown);
    }

    // In room already reserved.
    void insert(Id id, std::size_t hash) noexcept {
        emptyFor(table_, hash) = id;
        ++indexed_;
    }

    // Removes the id and moves later ids of its probe run back into the hole,
    // so that no run is ever broken.
    template <typename HashOf> void erase(Id id, std::size_t hash, HashOf hashOf) noexcept {
        const std::size_t mask = table_.size() - 1;
        std::size_t hole = hash & mask;
        while (table_[hole] != id) {
            hole = (hole + 1) & mask;
        }
        for (std::size_t next = (hole + 1) & mask; table_[next] != none; next = (next + 1) & mask) {
            const std::size_t home = hashOf(table_[next]) & mask;
            if (((next - home) & mask) >= ((next - hole) & mask)) {
                table_[hole] = table_[next];
                hole = next;
            }
        }
        table_[hole] = none;
        --indexed_;
    }

    // Calls visit(id) for every id that may have this hash: those of its run.
    template <typename Visit> void forEachCandidate(std::size_t hash, Visit visit) const {
        if (indexed_ == 0) {
            return;
        }
        const std::size_t mask = table_.size() - 1;
        for (std::size_t at = hash & mask; table_[at] != none; at = (at + 1) & mask) {
            visit(table_[at]);
        }
    }

    // Forgets every id and gives back the table.
    void clear() noexcept {
        std::vector<Id>().swap(table_);
        indexed_ = 0;
    }

private:
    static constexpr Id none = -1;

    static Id& emptyFor(std::vector<Id>& table, std::size_t hash) noexcept {
        const std::size_t mask = table.size() - 1;
        std::size_t at = hash & mask;
        while (table[at] != none) {
            at = (at + 1) & mask;
        }
        return table[at];
    }

    std::vector<Id> table_;
    std::size_t indexed_ = 0;
};

} // namespace tavrin::detail
