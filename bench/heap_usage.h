#pragma once

// What the program has allocated, read from glibc's allocator or from the
// heap of Windows' C runtime.

#include <malloc.h>

#include <cstddef>

namespace bench {

// The heap's blocks in use, with the large blocks that glibc maps on their own.
inline std::size_t bytesInUse() {
#if defined(_WIN32)
    std::size_t used = 0;
    _HEAPINFO entry{};
    while (_heapwalk(&entry) == _HEAPOK) {
        if (entry._useflag == _USEDENTRY) {
            used += entry._size;
        }
    }
    return used;
#else
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// The same, once the allocator has given back what it keeps free.
inline std::size_t bytesHeld() {
#if defined(_WIN32)
    _heapmin();
#else
    malloc_trim(0);
#endif
    return bytesInUse();
}

} // namespace bench
