#include "plinth/log/file.hpp"

#include <algorithm>

#include "plinth/format.hpp"
#include "plinth/log/generic.hpp"
#include "plinth/scope.hpp"
#include "plinth/system_message.hpp"

#include <windows.h>

namespace plinth {
namespace log {
namespace {

const char byte_order_mark[] = "\xef\xbb\xbf";

}  // namespace

std::string lock_name_of(const std::string& base_name) {
  std::string name = "log-" + base_name;
  std::replace(name.begin(), name.end(), '\\', '_');
  return name;
}

file::file(const std::string& base_name)
    : m_lock(lock_name_of(base_name)), m_base_name(base_name), m_size_limit(0xFFFFFFFF), m_backups(0) {
  const std::string path = current_name();
  // Other writers may rename or delete the file under us if the system allows that sharing;
  // where it does not, sharing reading and writing is enough to log.
  m_handle.reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!m_handle)
    m_handle.reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!m_handle) {
    const DWORD error = GetLastError();
    throw generic("CreateFile failed: " + system_message(error));
  }
  if (GetFileSize(m_handle.get(), nullptr) == 0) put(byte_order_mark);
}

// The handle is closed first (it is the last member), then the lock's.
file::~file() = default;

void file::write(int, const std::string& stamp, const std::string& text) {
  scope guard(&m_lock);
  // 0xFFFFFFFF, too, when the size cannot be had.
  const DWORD size = GetFileSize(m_handle.get(), nullptr);
  if (size >= m_size_limit) {
    if (m_backups != 0) rotate();
    start_anew();
  }
  // Other processes append to the same file between our lines.
  SetFilePointer(m_handle.get(), 0, nullptr, FILE_END);
  // One write for the whole line, so that no other writer's bytes land inside it. A failed
  // write loses the line; there is nobody to tell.
  put(sprintf_string("%s%s\r\n", stamp.c_str(), text.c_str()));
}

std::string file::current_name() const { return sprintf_string("%s.log.txt", m_base_name.c_str()); }

std::string file::copy_name(std::uint32_t number) const {
  return sprintf_string("%s.%i.log.txt", m_base_name.c_str(), static_cast<int>(number));
}

void file::rotate() {
  const std::string current = current_name();
  const std::uint32_t backups = m_backups;
  std::uint32_t number = 1;
  bool shifted = false;
  for (;;) {
    if (backups == 1) DeleteFileA(copy_name(1).c_str());
    // The first free number takes the copy.
    if (CopyFileA(current.c_str(), copy_name(number).c_str(), TRUE)) return;
    if (number < backups) {
      ++number;
      continue;
    }
    // Each number was taken, or copying fails for another reason (a copy that cannot be replaced,
    // a missing right). One shift makes room when the copies were merely all there; if the copy
    // fails after it as well, another shift would not help, and we would spin here holding the
    // lock of every writer: keep the copies as they are and let the file start anew.
    if (shifted) return;
    for (std::uint32_t older = 1; older < backups; ++older)
      if (!MoveFileExA(copy_name(older + 1).c_str(), copy_name(older).c_str(), MOVEFILE_REPLACE_EXISTING)) break;
    shifted = true;
  }
}

void file::start_anew() {
  SetFilePointer(m_handle.get(), 0, nullptr, FILE_BEGIN);
  SetEndOfFile(m_handle.get());
  put(byte_order_mark);
}

void file::put(const std::string& bytes) {
  DWORD written = 0;
  WriteFile(m_handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace log
}  // namespace plinth
