// The file layer over POSIX calls, for the native build (tests, fuzzing, the packer). It keeps
// the Windows rules the reading code relies on: 32-bit positions, no move before the start.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>

#include "archive/input_file.hpp"
#include "archive/output_file.hpp"

namespace {

// Sole owner of one file descriptor.
class file_descriptor {
 public:
  explicit file_descriptor(int fd) : m_fd(fd) {}
  file_descriptor(const file_descriptor&) = delete;
  file_descriptor& operator=(const file_descriptor&) = delete;
  ~file_descriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  int get() const { return m_fd; }

 private:
  int m_fd;
};

class posix_input_file : public input_file {
 public:
  explicit posix_input_file(int fd) : m_fd(fd) {}

  bool move(std::int32_t distance, origin from) override {
    std::int64_t base = m_position;
    if (from == origin::end) {
      struct stat status;
      if (::fstat(m_fd.get(), &status) != 0) return fail(errno);
      base = status.st_size;
    }
    const std::int64_t target = base + distance;
    if (target < 0) return fail(EINVAL);
    if (target > 0xfffffffe) return fail(EOVERFLOW);
    if (::lseek(m_fd.get(), static_cast<off_t>(target), SEEK_SET) < 0) return fail(errno);
    m_position = static_cast<std::uint32_t>(target);
    return true;
  }

  bool read(void* buffer, std::uint32_t size) override {
    char* bytes = static_cast<char*>(buffer);
    while (size > 0) {
      const ssize_t got = ::read(m_fd.get(), bytes, size);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return fail(errno);
      if (got == 0) return fail(ENODATA);
      bytes += got;
      size -= static_cast<std::uint32_t>(got);
      m_position += static_cast<std::uint32_t>(got);
    }
    return true;
  }

  std::uint32_t position() const override { return m_position; }
  os_error error() const override { return m_error; }

 private:
  bool fail(int code) {
    m_error = static_cast<os_error>(code);
    errno = code;
    return false;
  }

  file_descriptor m_fd;
  std::uint32_t m_position = 0;
  os_error m_error = 0;
};

class posix_output_file : public output_file {
 public:
  explicit posix_output_file(int fd) : m_fd(fd) {}

  bool write(const void* data, std::size_t size, os_error& error) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t written = ::write(m_fd.get(), bytes, size);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        error = static_cast<os_error>(written < 0 ? errno : ENOSPC);
        return false;
      }
      bytes += written;
      size -= static_cast<std::size_t>(written);
    }
    return true;
  }

 private:
  file_descriptor m_fd;
};

class posix_output_file_system : public output_file_system {
 public:
  std::unique_ptr<output_file> create(const std::string& path, os_error& error) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
      error = static_cast<os_error>(errno);
      return nullptr;
    }
    return std::make_unique<posix_output_file>(fd);
  }

  void remove(const std::string& path) override { ::unlink(path.c_str()); }
};

}  // namespace

std::unique_ptr<input_file> open_input_file(const std::string& path, os_error& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = static_cast<os_error>(errno);
    return nullptr;
  }
  return std::make_unique<posix_input_file>(fd);
}

output_file_system& system_output_files() {
  static posix_output_file_system files;
  return files;
}
