#pragma once
// Sole owner of one Windows kernel handle (mutex, file, process), closed in its destructor.
// Declared without the Windows headers: a HANDLE is a void*.

namespace plinth {

class unique_handle {
 public:
  unique_handle() noexcept = default;
  // Takes ownership. Both null and INVALID_HANDLE_VALUE mean "no handle", since the system
  // calls report failure with one or the other.
  explicit unique_handle(void* handle) noexcept;
  unique_handle(unique_handle&& other) noexcept;
  unique_handle& operator=(unique_handle&& other) noexcept;
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  ~unique_handle();

  void* get() const noexcept { return m_handle; }
  bool valid() const noexcept { return m_handle != nullptr; }
  explicit operator bool() const noexcept { return valid(); }

  // Closes the handle held so far, then owns the given one.
  void reset(void* handle = nullptr) noexcept;

 private:
  void* m_handle = nullptr;
};

}  // namespace plinth
