#include "channel_list/chan_save_list.h"

#include "channel_list/entry_text.h"
#include "ordered_slots.h"

#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace tavrin {
namespace {

using EntryId = OrderedSlots::Item;

struct Entry {
    std::u16string text;
    const std::u16string* foldedName = nullptr; // the key of its index node; none for a nameless text
    OrderedSlots::Slot slot = 0;
};

std::optional<std::u16string> indexKey(std::u16string_view text) {
    const auto name = nameFromEntryText(text);
    if (!name) {
        return std::nullopt;
    }
    return foldName(*name);
}

} // namespace

struct ChanSaveList::Store {
    OrderedSlots order;
    std::vector<Entry> entries;
    std::vector<EntryId> freeIds; // as much capacity as entries, so a removal never allocates
    std::unordered_multimap<std::u16string, EntryId> byFoldedName;
    ChanSaveListObserver* observer = nullptr;

    Position count() const noexcept { return static_cast<Position>(order.size()); }

    void checkPosition(Position position) const {
        if (position < 1 || position > count()) {
            throw std::out_of_range("no channel list entry at position " + std::to_string(position));
        }
    }

    EntryId idAt(Position position) const noexcept { return order.itemIn(order.slotAt(position)); }

    void makeRoom(Placement placement) {
        if (placement == Placement::top ? order.hasRoomAtFront() : order.hasRoomAtBack()) {
            return;
        }
        order.compact([this](EntryId id, OrderedSlots::Slot slot) {
            entries[static_cast<std::size_t>(id)].slot = slot;
        });
    }

    // The id the next new entry gets, with the room it needs already allocated.
    EntryId reserveId() {
        if (!freeIds.empty()) {
            return freeIds.back();
        }
        if (entries.size() == entries.capacity()) {
            const std::size_t capacity = std::max<std::size_t>(16, 2 * entries.capacity());
            freeIds.reserve(capacity);
            entries.reserve(capacity);
        }
        return static_cast<EntryId>(entries.size());
    }

    Entry& claim(EntryId id) noexcept {
        if (!freeIds.empty()) {
            freeIds.pop_back();
        } else {
            entries.emplace_back();
        }
        return entries[static_cast<std::size_t>(id)];
    }

    const std::u16string* index(std::optional<std::u16string>& key, EntryId id) {
        return key ? &byFoldedName.emplace(std::move(*key), id)->first : nullptr;
    }

    void unindex(EntryId id) noexcept {
        const Entry& entry = entries[static_cast<std::size_t>(id)];
        if (entry.foldedName == nullptr) {
            return;
        }
        auto [first, last] = byFoldedName.equal_range(*entry.foldedName);
        for (; first != last; ++first) {
            if (first->second == id) {
                byFoldedName.erase(first);
                return;
            }
        }
    }

    // Both run only after everything that can fail has been done.
    void place(EntryId id, Placement placement) noexcept {
        const auto position = static_cast<Position>(placement == Placement::top ? 1 : count() + 1);
        if (observer != nullptr) {
            observer->aboutToInsert(position);
        }
        Entry& entry = entries[static_cast<std::size_t>(id)];
        entry.slot = placement == Placement::top ? order.takeFront(id) : order.takeBack(id);
        if (observer != nullptr) {
            observer->inserted(position);
        }
    }

    void unplace(Position position) noexcept {
        if (observer != nullptr) {
            observer->aboutToRemove(position);
        }
        order.release(order.slotAt(position));
        if (observer != nullptr) {
            observer->removed(position);
        }
    }
};

ChanSaveList::ChanSaveList() : store_(std::make_unique<Store>()) {}

ChanSaveList::~ChanSaveList() = default;

Position ChanSaveList::count() const noexcept {
    return store_->count();
}

const std::u16string& ChanSaveList::text(Position position) const {
    store_->checkPosition(position);
    return store_->entries[static_cast<std::size_t>(store_->idAt(position))].text;
}

void ChanSaveList::insertAtTop(std::u16string text) {
    insert(std::move(text), Placement::top);
}

void ChanSaveList::append(std::u16string text) {
    insert(std::move(text), Placement::bottom);
}

void ChanSaveList::insert(std::u16string text, Placement placement) {
    if (isFull()) {
        throw std::length_error("the channel list is full");
    }
    auto key = indexKey(text);
    store_->makeRoom(placement);
    const EntryId id = store_->reserveId();
    const std::u16string* foldedName = store_->index(key, id);

    Entry& entry = store_->claim(id);
    entry.text = std::move(text);
    entry.foldedName = foldedName;
    store_->place(id, placement);
}

void ChanSaveList::removeAt(Position position) {
    store_->checkPosition(position);
    const EntryId id = store_->idAt(position);
    store_->unplace(position);
    store_->unindex(id);
    Entry& entry = store_->entries[static_cast<std::size_t>(id)];
    entry.text = std::u16string();
    entry.foldedName = nullptr;
    store_->freeIds.push_back(id);
}

void ChanSaveList::replace(Position position, std::u16string text, Placement placement) {
    store_->checkPosition(position);
    auto key = indexKey(text);
    store_->makeRoom(placement);
    const EntryId id = store_->idAt(position);
    const std::u16string* oldName = store_->entries[static_cast<std::size_t>(id)].foldedName;
    const bool sameName = key && oldName != nullptr ? *key == *oldName : !key && oldName == nullptr;
    const std::u16string* foldedName = sameName ? oldName : store_->index(key, id);

    store_->unplace(position);
    if (!sameName) {
        store_->unindex(id);
    }
    Entry& entry = store_->entries[static_cast<std::size_t>(id)];
    entry.text = std::move(text);
    entry.foldedName = foldedName;
    store_->place(id, placement);
}

std::optional<Position> ChanSaveList::find(std::u16string_view username) const {
    auto [first, last] = store_->byFoldedName.equal_range(foldName(username));
    if (first == last) {
        return std::nullopt;
    }
    OrderedSlots::Slot topmost = store_->entries[static_cast<std::size_t>(first->second)].slot;
    for (++first; first != last; ++first) {
        topmost = std::min(topmost, store_->entries[static_cast<std::size_t>(first->second)].slot);
    }
    return static_cast<Position>(store_->order.positionOf(topmost));
}

void ChanSaveList::clear() noexcept {
    Store& store = *store_;
    if (store.observer != nullptr) {
        store.observer->aboutToClear();
    }
    store.order.clear();
    std::vector<Entry>().swap(store.entries);
    std::vector<EntryId>().swap(store.freeIds);
    decltype(store.byFoldedName)().swap(store.byFoldedName);
    if (store.observer != nullptr) {
        store.observer->cleared();
    }
}

void ChanSaveList::setObserver(ChanSaveListObserver* observer) noexcept {
    store_->observer = observer;
}

} // namespace tavrin
