#pragma once

#include <cstdint>
#include <vector>

namespace tavrin::detail {

// The entries of a list in a second order that a comparison decides, such as
// rank then name: a treap over entry ids, each node counting the entries in
// its subtree that are counted (those a search shows), so that an entry's
// place among the counted ones, and the entry at a place, cost O(log n), and
// so does an entry entering or leaving. Each node knows its parent, so the
// place of an entry in the tree is found without comparing keys. Priorities
// come from a hash of the id, so a node costs 10 bytes and the tree needs no
// random state. Less is
// less(a, b) over ids: a strict, total order that does not change while both
// are in the tree.
class RankOrder {
public:
    using Id = std::int16_t; // a list holds at most 32,767 entries
    static constexpr Id none = -1;

    // Room for ids 0 to ids - 1, so that inserting cannot fail. May throw.
    void reserve(std::size_t ids) {
        if (nodes_.size() < ids) {
            nodes_.resize(ids);
        }
    }
    void clear() noexcept {
        std::vector<Node>().swap(nodes_);
        root_ = none;
    }

    std::int32_t counted() const noexcept { return countOf(root_); }

    template <typename Less> void insert(Id id, bool counted, Less less) noexcept {
        node(id) = Node{none, none, none, static_cast<std::int16_t>(counted ? 1 : 0), counted};
        setRoot(insertInto(root_, id, less));
    }

    template <typename Less> void erase(Id id, Less less) noexcept { setRoot(eraseFrom(root_, id, less)); }

    // How many counted entries come before this one, which is in the tree:
    // read up from it to the root, without comparing keys.
    std::int32_t countedBeforeInTree(Id id) const noexcept {
        std::int32_t before = countOf(node(id).left);
        for (Id at = id, parent = node(id).parent; parent != none;
             at = parent, parent = node(parent).parent) {
            if (node(parent).right == at) {
                before += countOf(node(parent).left) + (node(parent).self ? 1 : 0);
            }
        }
        return before;
    }

    // How many counted entries come before this one, which need not be in the
    // tree yet.
    template <typename Less> std::int32_t countedBefore(Id id, Less less) const noexcept {
        std::int32_t before = 0;
        for (Id at = root_; at != none;) {
            if (at == id) {
                return before + countOf(node(at).left);
            }
            if (less(at, id)) {
                before += countOf(node(at).left) + (node(at).self ? 1 : 0);
                at = node(at).right;
            } else {
                at = node(at).left;
            }
        }
        return before;
    }

    // How many counted entries, other than this one, come before a key that
    // is not in the tree, such as an entry's key after a change: before(id)
    // says whether an entry comes before it. The entry left out is in the
    // tree, where its old key puts it.
    template <typename Before> std::int32_t countedBeforeKey(Before before, Id except) const noexcept {
        std::int32_t count = 0;
        for (Id at = root_; at != none;) {
            if (before(at)) {
                count += countOf(node(at).left) + (node(at).self ? 1 : 0);
                at = node(at).right;
            } else {
                at = node(at).left;
            }
        }
        return count - (node(except).self && before(except) ? 1 : 0);
    }

    // The counted entry at this place, counted from 1.
    Id select(std::int32_t place) const noexcept {
        for (Id at = root_; at != none;) {
            const std::int32_t left = countOf(node(at).left);
            if (place <= left) {
                at = node(at).left;
            } else if (node(at).self && place == left + 1) {
                return at;
            } else {
                place -= left + (node(at).self ? 1 : 0);
                at = node(at).right;
            }
        }
        return none;
    }

    // Builds the tree afresh from every entry, in order, at once: O(n), with
    // nothing allocated beyond the room reserved. The tree is balanced; later
    // changes keep it a search tree, whatever the priorities say.
    // idAt(i) is the id of the i-th entry in order, from 0 to count - 1.
    template <typename IdAt, typename Counted>
    void build(std::int32_t count, IdAt idAt, Counted counted) noexcept {
        setRoot(buildFrom(0, count, idAt, counted));
    }

    // Counts again, after what is counted changed for many entries at once: O(n).
    template <typename Counted> void recount(Counted counted) noexcept { recountFrom(root_, counted); }

    // Calls visit(id) in order for each entry from the first one that below(id)
    // does not hold for, until visit returns false: O(log n + k) for k visited.
    template <typename Below, typename Visit> void visitFrom(Below below, Visit visit) const {
        visitFrom(root_, below, visit);
    }

private:
    struct Node {
        Id left = none;
        Id right = none;
        Id parent = none;
        std::int16_t counted = 0; // in the subtree
        bool self = false;
    };

    Node& node(Id id) noexcept { return nodes_[static_cast<std::size_t>(id)]; }
    const Node& node(Id id) const noexcept { return nodes_[static_cast<std::size_t>(id)]; }
    std::int32_t countOf(Id id) const noexcept { return id == none ? 0 : node(id).counted; }

    static std::uint32_t priorityOf(Id id) noexcept {
        auto x = static_cast<std::uint32_t>(id) + 0x9E3779B9U;
        x = (x ^ (x >> 16)) * 0x85EBCA6BU;
        x = (x ^ (x >> 13)) * 0xC2B2AE35U;
        return x ^ (x >> 16);
    }
    bool above(Id a, Id b) const noexcept {
        return priorityOf(a) > priorityOf(b) || (priorityOf(a) == priorityOf(b) && a < b);
    }

    // Every node whose children change is updated, so its children learn
    // their parent here.
    void update(Id id) noexcept {
        Node& n = node(id);
        n.counted = static_cast<std::int16_t>(countOf(n.left) + countOf(n.right) + (n.self ? 1 : 0));
        if (n.left != none) {
            node(n.left).parent = id;
        }
        if (n.right != none) {
            node(n.right).parent = id;
        }
    }
    void setRoot(Id root) noexcept {
        root_ = root;
        if (root != none) {
            node(root).parent = none;
        }
    }

    // Splits a subtree into the entries before id and those after it.
    template <typename Less> void split(Id at, Id id, Less& less, Id& before, Id& after) noexcept {
        if (at == none) {
            before = after = none;
        } else if (less(at, id)) {
            split(node(at).right, id, less, node(at).right, after);
            before = at;
            update(at);
        } else {
            split(node(at).left, id, less, before, node(at).left);
            after = at;
            update(at);
        }
    }

    Id merge(Id before, Id after) noexcept {
        if (before == none || after == none) {
            return before == none ? after : before;
        }
        if (above(before, after)) {
            node(before).right = merge(node(before).right, after);
            update(before);
            return before;
        }
        node(after).left = merge(before, node(after).left);
        update(after);
        return after;
    }

    template <typename Less> Id insertInto(Id at, Id id, Less& less) noexcept {
        if (at == none) {
            return id;
        }
        if (above(id, at)) {
            split(at, id, less, node(id).left, node(id).right);
            update(id);
            return id;
        }
        if (less(id, at)) {
            node(at).left = insertInto(node(at).left, id, less);
        } else {
            node(at).right = insertInto(node(at).right, id, less);
        }
        update(at);
        return at;
    }

    template <typename Less> Id eraseFrom(Id at, Id id, Less& less) noexcept {
        if (at == none) {
            return none;
        }
        if (at == id) {
            return merge(node(at).left, node(at).right);
        }
        if (less(id, at)) {
            node(at).left = eraseFrom(node(at).left, id, less);
        } else {
            node(at).right = eraseFrom(node(at).right, id, less);
        }
        update(at);
        return at;
    }

    template <typename IdAt, typename Counted>
    Id buildFrom(std::int32_t first, std::int32_t end, IdAt& idAt, Counted& counted) noexcept {
        if (first >= end) {
            return none;
        }
        const std::int32_t middle = first + (end - first) / 2;
        const Id id = idAt(middle);
        const bool self = counted(id);
        node(id) = Node{buildFrom(first, middle, idAt, counted), buildFrom(middle + 1, end, idAt, counted),
                        none, 0, self};
        update(id);
        return id;
    }

    template <typename Counted> void recountFrom(Id at, Counted& counted) noexcept {
        if (at != none) {
            recountFrom(node(at).left, counted);
            recountFrom(node(at).right, counted);
            node(at).self = counted(at);
            update(at);
        }
    }

    template <typename Below, typename Visit> bool visitFrom(Id at, Below& below, Visit& visit) const {
        if (at == none) {
            return true;
        }
        if (below(at)) {
            return visitFrom(node(at).right, below, visit);
        }
        return visitFrom(node(at).left, below, visit) && visit(at) && visitFrom(node(at).right, below, visit);
    }

    std::vector<Node> nodes_;
    Id root_ = none;
};

} // namespace tavrin::detail
