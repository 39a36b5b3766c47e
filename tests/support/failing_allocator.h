#pragma once

// The global allocator, replaced for the tests that make allocations fail one
// at a time and count what a list holds. A test program links it once.

namespace tavrin::testing {

// Allocations left before one fails; negative: none fails.
extern long allocationsBeforeFailure;
// When set and it says no, an allocation neither fails nor counts down.
extern bool (*allocationMayFail)();
extern long long bytesInUse;
extern long long bigBytesAllocated; // in blocks of 16 KiB and more, as a list's buffers are

} // namespace tavrin::testing
