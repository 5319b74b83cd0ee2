#pragma once
// The one locking vocabulary of the library: anything that can be acquired and released, so that
// plinth::scope can hold a process-local lock and a machine-wide one alike.

namespace plinth {

class scope_semantics {
 public:
  // The first and third entries of the table do nothing and nobody calls them. They keep lock()
  // and unlock() in the second and fourth entries, where code built against this interface
  // expects them.
  virtual void reserved_1() {}
  virtual void lock() = 0;
  virtual void reserved_3() {}
  virtual void unlock() = 0;

  scope_semantics(const scope_semantics&) = delete;
  scope_semantics& operator=(const scope_semantics&) = delete;

 protected:
  scope_semantics() = default;
  // Not virtual: every lock is destroyed through its own type, never through this interface,
  // which the protected destructor enforces.
  ~scope_semantics() = default;
};

}  // namespace plinth
