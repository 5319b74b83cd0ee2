#include "plinth/scope.hpp"

namespace plinth {

scope::scope(scope_semantics* target) : m_target(target) {
  if (m_target != nullptr) m_target->lock();
}

scope::~scope() {
  if (m_target == nullptr) return;
  // A release that fails here (a named mutex the thread somehow no longer owns) cannot be
  // reported from a destructor without ending the process; the system keeps track of the
  // ownership either way.
  try {
    m_target->unlock();
  } catch (...) {
  }
  m_target = nullptr;
}

void scope::lock() {
  if (m_target != nullptr) m_target->lock();
}

void scope::unlock() {
  if (m_target == nullptr) return;
  m_target->unlock();
  m_target = nullptr;
}

}  // namespace plinth
