#pragma once
// Sole owner of a directory search handle of FindFirstFileA, closed with FindClose.
#include <windows.h>

class find_handle {
 public:
  explicit find_handle(HANDLE handle) noexcept : m_handle(handle) {}
  find_handle(const find_handle&) = delete;
  find_handle& operator=(const find_handle&) = delete;
  ~find_handle() {
    if (valid()) FindClose(m_handle);
  }

  HANDLE get() const noexcept { return m_handle; }
  bool valid() const noexcept { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }

 private:
  HANDLE m_handle;
};
