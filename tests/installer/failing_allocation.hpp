#pragma once
// Fault injection for the test program that links failing_allocation.cpp, which replaces the
// global allocation function: after arm(n), the n-th allocation throws std::bad_alloc.
namespace failing_allocation {

void arm(long n);
void disarm();
// Whether the armed allocation was reached (and failed) since the last arm().
bool failed();

}  // namespace failing_allocation
