#include "failing_allocator.h"

#include <cstdlib>
#include <malloc.h>
#include <new>

namespace tavrin::testing {

long allocationsBeforeFailure = -1;
bool (*allocationMayFail)() = nullptr;
long long bytesInUse = 0;
long long bigBytesAllocated = 0;

namespace {

// The size of a block from malloc. On Windows a DLL may free with its own
// operator delete what this program's operator new gave, or the other way
// round, so a block carries nothing but what malloc put there.
std::size_t blockSize(void* block) {
#ifdef _WIN32
    return _msize(block);
#else
    return malloc_usable_size(block);
#endif
}

} // namespace
} // namespace tavrin::testing

using namespace tavrin::testing;

void* operator new(std::size_t size) {
    if (allocationsBeforeFailure >= 0 && (allocationMayFail == nullptr || allocationMayFail())) {
        if (allocationsBeforeFailure == 0) {
            allocationsBeforeFailure = -1;
            throw std::bad_alloc();
        }
        --allocationsBeforeFailure;
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        bytesInUse += static_cast<long long>(blockSize(memory));
        bigBytesAllocated += size >= 16384 ? static_cast<long long>(size) : 0;
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    if (memory != nullptr) {
        bytesInUse -= static_cast<long long>(blockSize(memory));
        std::free(memory);
    }
}

void operator delete(void* memory, std::size_t) noexcept {
    operator delete(memory);
}
