#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace tavrin::detail {

// The characters of every entry end to end in one buffer, so that an entry
// holds no memory of its own and emptying a list frees one block, not one for
// every member. A removed entry leaves a gap; once the gaps fill more than
// half of the buffer they are packed away when the buffer next needs room.
class TextBuffer {
public:
    // Gaps smaller than this are not worth packing away.
    static constexpr std::size_t smallestPackedGap = 4096;

    // Where a piece of text lies in the buffer.
    struct Span {
        std::size_t start = 0;
        std::size_t length = 0;
    };

    std::size_t size() const noexcept { return chars_.size(); }
    std::size_t capacity() const noexcept { return chars_.capacity(); }
    std::size_t liveSize() const noexcept { return live_; }

    // Room for this many more characters, so that append() cannot fail. When
    // it packs, forEachSpan(move) must call move(span) on every live span, in
    // any order, and the spans are moved. Growth by half keeps the unused part
    // of a full list's buffer small. A failure changes nothing.
    template <typename ForEachSpan> void reserve(std::size_t more, ForEachSpan forEachSpan) {
        const std::size_t gaps = chars_.size() - live_;
        const bool pack = gaps > live_ && gaps >= smallestPackedGap;
        if (!pack && chars_.capacity() - chars_.size() >= more) {
            return;
        }
        const std::size_t needed = (pack ? live_ : chars_.size()) + more;
        std::vector<char16_t> grown;
        grown.reserve(std::max(needed, needed / 2 * 3));
        if (!pack) {
            grown.assign(chars_.begin(), chars_.end());
        } else {
            forEachSpan([&](Span& span) {
                const auto from = chars_.begin() + static_cast<std::ptrdiff_t>(span.start);
                span.start = grown.size();
                grown.insert(grown.end(), from, from + static_cast<std::ptrdiff_t>(span.length));
            });
        }
        chars_.swap(grown);
    }

    // The two texts end to end, as one span, in room already reserved.
    Span append(std::u16string_view first, std::u16string_view second) noexcept {
        const Span span{chars_.size(), first.size() + second.size()};
        chars_.insert(chars_.end(), first.begin(), first.end());
        chars_.insert(chars_.end(), second.begin(), second.end());
        live_ += span.length;
        return span;
    }

    // The span's characters become a gap.
    void release(Span span) noexcept { live_ -= span.length; }

    std::u16string_view view(std::size_t start, std::size_t length) const noexcept {
        return {chars_.data() + start, length};
    }

    void clear() noexcept {
        std::vector<char16_t>().swap(chars_);
        live_ = 0;
    }

private:
    std::vector<char16_t> chars_;
    std::size_t live_ = 0;
};

} // namespace tavrin::detail
