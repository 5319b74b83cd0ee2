#pragma once
// A named mutex of the operating system: serialises work across all processes on the machine,
// whichever user runs them. Ownership and recursion are the system's: each successful try_lock
// or lock is matched by one unlock on the same thread. Destroying the object closes the handle
// without releasing; a thread that ends holding the mutex leaves it abandoned, and the next
// waiter acquires it.
#include <string>

#include "plinth/scope_semantics.hpp"
#include "plinth/unique_handle.hpp"

namespace plinth {

class real_mutex final : public scope_semantics {
 public:
  // Opens or creates the mutex, without acquiring it. Throws plinth::exception
  // ("OpenMutex returned 0x%08x") when no handle can be had.
  explicit real_mutex(const std::string& name);

  // Waits at most the given time (0xFFFFFFFF: without limit). True when the calling thread now
  // holds the mutex, also when the previous owner ended without releasing it; false when the
  // time ran out. Throws plinth::exception when the wait itself fails.
  bool try_lock(unsigned long milliseconds);

  void lock() override;
  // Releases one acquisition of the calling thread; throws plinth::exception otherwise.
  void unlock() override;

 private:
  unique_handle m_handle;
};

// The name the system object is created under, given the system's major version. Systems with
// object namespaces (major version above 4) get a name without any backslash in the machine-wide
// namespace "Global\"; a name with a backslash is taken as already placed. Older systems have no
// namespaces, so everything up to the last backslash is dropped there.
std::string normalised_mutex_name(const std::string& name, unsigned long major_version);

}  // namespace plinth
