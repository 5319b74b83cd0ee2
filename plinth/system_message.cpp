#include "plinth/system_message.hpp"

#include <windows.h>

namespace plinth {
namespace {

// The buffer FormatMessageA allocates, released with LocalFree.
class local_buffer {
 public:
  local_buffer() = default;
  local_buffer(const local_buffer&) = delete;
  local_buffer& operator=(const local_buffer&) = delete;
  ~local_buffer() {
    if (m_text) LocalFree(m_text);
  }
  char** out() { return &m_text; }
  const char* get() const { return m_text; }

 private:
  char* m_text = nullptr;
};

}  // namespace

std::string system_message(unsigned long code) {
  local_buffer buffer;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(buffer.out()), 0,
      nullptr);
  if (length == 0 || buffer.get() == nullptr) return std::string();
  // The system's texts end in CR LF, which a message box or log line does not want. A text
  // without it (seen from some Wine versions) is kept whole rather than losing two characters.
  std::string text(buffer.get(), length);
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  return text;
}

}  // namespace plinth
