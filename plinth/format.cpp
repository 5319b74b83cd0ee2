#include "plinth/format.hpp"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace plinth {
namespace {

// The run-time library's bounded formatters report a text that does not fit by a negative
// result (Windows' _vsnprintf) or by the length it needs (C99 vsnprintf); both mean "grow".
// A text that fills the buffer exactly is not terminated by _vsnprintf, so it counts as fitting
// only when strictly shorter than the buffer, which is right for both.
int bounded_format(char* buffer, std::size_t size, const char* format, va_list args) {
#if defined(_WIN32)
  return _vsnprintf(buffer, size, format, args);
#else
  return std::vsnprintf(buffer, size, format, args);
#endif
}

int bounded_format(wchar_t* buffer, std::size_t size, const wchar_t* format, va_list args) {
#if defined(_WIN32)
  return _vsnwprintf(buffer, size, format, args);
#else
  return std::vswprintf(buffer, size, format, args);
#endif
}

template <typename Char>
std::basic_string<Char> format_growing(const Char* format, va_list args) {
  std::vector<Char> buffer(1024);
  for (;;) {
    va_list copy;
    va_copy(copy, args);
    const int written = bounded_format(buffer.data(), buffer.size(), format, copy);
    va_end(copy);
    if (written >= 0 && static_cast<std::size_t>(written) < buffer.size())
      return std::basic_string<Char>(buffer.data(), static_cast<std::size_t>(written));
    buffer.assign(buffer.size() * 2, Char());
  }
}

}  // namespace

std::string vsprintf_string(const char* format, va_list args) {
  return format_growing(format, args);
}

std::string sprintf_string(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string result = vsprintf_string(format, args);
  va_end(args);
  return result;
}

std::wstring vsprintf_wstring(const wchar_t* format, va_list args) {
  return format_growing(format, args);
}

std::wstring sprintf_wstring(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring result = vsprintf_wstring(format, args);
  va_end(args);
  return result;
}

}  // namespace plinth
