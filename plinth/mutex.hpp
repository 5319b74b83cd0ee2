#pragma once
// A lock inside one process: a critical section, recursive for the thread that holds it.
#include <windows.h>

#include "plinth/scope_semantics.hpp"

namespace plinth {

class mutex final : public scope_semantics {
 public:
  mutex();
  // The owner sees to it that no thread holds the lock any more.
  ~mutex();

  void lock() override;
  void unlock() override;

 private:
  CRITICAL_SECTION m_section;
};

}  // namespace plinth
