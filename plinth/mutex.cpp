#include "plinth/mutex.hpp"

namespace plinth {

mutex::mutex() { InitializeCriticalSection(&m_section); }

mutex::~mutex() { DeleteCriticalSection(&m_section); }

void mutex::lock() { EnterCriticalSection(&m_section); }

void mutex::unlock() { LeaveCriticalSection(&m_section); }

}  // namespace plinth
