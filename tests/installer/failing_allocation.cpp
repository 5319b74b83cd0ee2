#include "tests/installer/failing_allocation.hpp"

#include <cstdlib>
#include <new>

namespace {

long fail_at = 0;  // 0: nothing fails
long allocations = 0;
bool hit = false;

}  // namespace

namespace failing_allocation {

void arm(long n) {
  allocations = 0;
  hit = false;
  fail_at = n;
}

void disarm() { fail_at = 0; }

bool failed() { return hit; }

}  // namespace failing_allocation

void* operator new(std::size_t size) {
  if (fail_at != 0 && ++allocations == fail_at) {
    hit = true;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
