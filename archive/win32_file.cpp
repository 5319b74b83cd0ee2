// The file layer over the Win32 file calls. Positions are 32-bit: SetFilePointer is called
// without the high word, so the system itself refuses a move before the start of the file
// (ERROR_NEGATIVE_SEEK) and the thread's last error is the one the call left.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "archive/input_file.hpp"
#include "archive/output_file.hpp"
#include "plinth/unique_handle.hpp"

namespace {

// Archive and extracted files alike: other openers may only read, attributes normal with the
// sequential-scan hint, since both are read or written once from start to end.
template <class file>
std::unique_ptr<file> open(const std::string& path, DWORD access, DWORD disposition, os_error& error) {
  plinth::unique_handle handle(CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!handle) {
    error = GetLastError();
    return nullptr;
  }
  return std::make_unique<file>(std::move(handle));
}

class win32_input_file : public input_file {
 public:
  explicit win32_input_file(plinth::unique_handle handle) : m_handle(std::move(handle)) {}

  bool move(std::int32_t distance, origin from) override {
    if (from == origin::current && static_cast<std::int64_t>(m_position) + distance > 0xfffffffe) {
      // Windows refuses positions beyond 32 bits here; not every implementation of the call does.
      SetLastError(ERROR_INVALID_PARAMETER);
      m_error = ERROR_INVALID_PARAMETER;
      return false;
    }
    const DWORD position =
        SetFilePointer(m_handle.get(), distance, nullptr, from == origin::end ? FILE_END : FILE_CURRENT);
    // Without the high word a valid position is at most 2^32 - 2, so this value means failure.
    if (position == INVALID_SET_FILE_POINTER) {
      m_error = GetLastError();
      return false;
    }
    m_position = position;
    return true;
  }

  bool read(void* buffer, std::uint32_t size) override {
    if (size == 0) return true;
    DWORD got = 0;
    if (!ReadFile(m_handle.get(), buffer, size, &got, nullptr)) {
      m_error = GetLastError();
      // Where a failed read leaves the file is not promised; ask rather than guess.
      const DWORD position = SetFilePointer(m_handle.get(), 0, nullptr, FILE_CURRENT);
      if (position != INVALID_SET_FILE_POINTER) m_position = position;
      return false;
    }
    m_position += got;
    if (got != size) {
      m_error = ERROR_HANDLE_EOF;
      return false;
    }
    return true;
  }

  std::uint32_t position() const override { return m_position; }
  os_error error() const override { return m_error; }

 private:
  plinth::unique_handle m_handle;
  std::uint32_t m_position = 0;
  os_error m_error = 0;
};

class win32_output_file : public output_file {
 public:
  explicit win32_output_file(plinth::unique_handle handle) : m_handle(std::move(handle)) {}

  bool write(const void* data, std::size_t size, os_error& error) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
      DWORD written = 0;
      if (!WriteFile(m_handle.get(), bytes, piece, &written, nullptr)) {
        error = GetLastError();
        return false;
      }
      if (written == 0) {
        error = ERROR_DISK_FULL;
        return false;
      }
      bytes += written;
      size -= written;
    }
    return true;
  }

 private:
  plinth::unique_handle m_handle;
};

class win32_output_file_system : public output_file_system {
 public:
  std::unique_ptr<output_file> create(const std::string& path, os_error& error) override {
    return open<win32_output_file>(path, GENERIC_WRITE, CREATE_ALWAYS, error);
  }

  void remove(const std::string& path) override { DeleteFileA(path.c_str()); }
};

}  // namespace

std::unique_ptr<input_file> open_input_file(const std::string& path, os_error& error) {
  return open<win32_input_file>(path, GENERIC_READ, OPEN_EXISTING, error);
}

output_file_system& system_output_files() {
  static win32_output_file_system files;
  return files;
}
