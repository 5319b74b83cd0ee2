// Helper process of the lock tests: "lock_holder <name>" tries the named mutex once without
// waiting and ends at once, on purpose without releasing it, so that a mutex it got is left
// abandoned. Exit code 1: acquired, 0: not acquired, 3: the attempt threw.
#include <cstdio>
#include <exception>

#include "plinth/real_mutex.hpp"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  try {
    plinth::real_mutex lock(argv[1]);
    return lock.try_lock(0) ? 1 : 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 3;
  }
}
