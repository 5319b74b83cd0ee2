#pragma once
// Holds one acquisition of a lock for the lifetime of a block. A guard built with null does
// nothing at all; unlock() releases early, after which the destructor has nothing left to do.
#include "plinth/scope_semantics.hpp"

namespace plinth {

class scope final : public scope_semantics {
 public:
  explicit scope(scope_semantics* target);
  ~scope();

  // One more acquisition of the target; the guard still releases only one.
  void lock() override;
  // Releases the guard's acquisition now.
  void unlock() override;

 private:
  scope_semantics* m_target;
};

}  // namespace plinth
