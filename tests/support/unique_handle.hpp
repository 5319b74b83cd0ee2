#pragma once
// Owner of one kernel handle (process, thread, event, file). Closed exactly once, here.
#include <windows.h>

#include <utility>

namespace test_support {

class unique_handle {
 public:
  unique_handle() = default;
  explicit unique_handle(HANDLE handle) : m_handle(handle) {}
  unique_handle(unique_handle&& other) noexcept : m_handle(other.release()) {}
  unique_handle& operator=(unique_handle&& other) noexcept {
    if (this != &other) {
      reset(other.release());
    }
    return *this;
  }
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  ~unique_handle() { reset(); }

  HANDLE get() const { return m_handle; }
  // CreateFile reports failure as INVALID_HANDLE_VALUE, most other calls as null.
  explicit operator bool() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }

  HANDLE release() { return std::exchange(m_handle, nullptr); }
  void reset(HANDLE handle = nullptr) {
    HANDLE old = std::exchange(m_handle, handle);
    if (old != nullptr && old != INVALID_HANDLE_VALUE) {
      CloseHandle(old);
    }
  }

 private:
  HANDLE m_handle = nullptr;
};

}  // namespace test_support
