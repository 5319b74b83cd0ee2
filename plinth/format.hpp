#pragma once
// printf-style formatting into std::string / std::wstring.
#include <cstdarg>
#include <string>

namespace plinth {

// The formatted text, exactly as many characters as the formatter produced: zero bytes written
// by "%c" with 0 stay part of the result. The buffer starts at 1024 characters and doubles until
// the text fits.
std::string sprintf_string(const char* format, ...)
#if defined(__GNUC__) && !defined(_WIN32)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
std::string vsprintf_string(const char* format, va_list args);

// Wide variants; in a wide format "%s" takes a wide string, as the Windows run-time library has it.
std::wstring sprintf_wstring(const wchar_t* format, ...);
std::wstring vsprintf_wstring(const wchar_t* format, va_list args);

}  // namespace plinth
