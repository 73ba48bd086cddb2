#pragma once

// Counts heap allocations through every form of the global operator new of
// the test program that links it; every form of delete goes with them, so
// that libraries mixing the forms (and the sanitizers watching them) stay
// matched.
namespace AllocationCount {

// Allocations for which the predicate answers true are not counted.
void Ignore(bool (*predicate)());

void Start();

// Stops counting and gives the number counted since Start.
long Stop();

// Counts one allocation made some other way (a library's own allocator hook).
void Count();

}  // namespace AllocationCount
