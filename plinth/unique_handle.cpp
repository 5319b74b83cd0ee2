#include "plinth/unique_handle.hpp"

#include <utility>

#include <windows.h>

namespace plinth {
namespace {

void* owned_or_null(void* handle) noexcept { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

}  // namespace

unique_handle::unique_handle(void* handle) noexcept : m_handle(owned_or_null(handle)) {}

unique_handle::unique_handle(unique_handle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}

unique_handle& unique_handle::operator=(unique_handle&& other) noexcept {
  if (this != &other) reset(std::exchange(other.m_handle, nullptr));
  return *this;
}

unique_handle::~unique_handle() { reset(); }

void unique_handle::reset(void* handle) noexcept {
  if (m_handle != nullptr) CloseHandle(m_handle);
  m_handle = owned_or_null(handle);
}

}  // namespace plinth
