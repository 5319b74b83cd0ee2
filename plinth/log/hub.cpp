#include "plinth/log/hub.hpp"

#include <cstdarg>
#include <exception>

#include "plinth/exception.hpp"
#include "plinth/format.hpp"
#include "plinth/log/listener.hpp"
#include "plinth/scope.hpp"
#include "plinth/unicode/convert.hpp"

#include <windows.h>
// The compiler's COM support: _com_error, the exception of its smart pointers and wrappers.
#include <comdef.h>

namespace plinth {
namespace log {
namespace {

std::string stamp(int level) {
  static const char level_characters[] = "# +!>@";
  const char character = level >= 0 && level <= 5 ? level_characters[level] : '?';
  SYSTEMTIME now;
  GetLocalTime(&now);
  return sprintf_string("%.4d/%.2d/%.2d %.2d:%.2d:%.2d %c  ", now.wYear, now.wMonth, now.wDay, now.wHour,
                        now.wMinute, now.wSecond, character);
}

// The system's text of a COM error: in the ANSI code page, unless the headers make TCHAR wide.
std::wstring com_error_text(const _com_error& e) {
  const TCHAR* text = e.ErrorMessage();
  if (text == nullptr) return std::wstring();
#if defined(UNICODE)
  return text;
#else
  return unicode::to_wide(text, CP_ACP);
#endif
}

// The text followed by what is known about the exception being handled. Only plinth::exception_w
// has a wide text of its own, hence the capital E that sets its lines apart.
std::wstring with_current_exception(const std::wstring& text) {
  const std::exception_ptr current = std::current_exception();
  // Outside a handler there is nothing to describe; rethrowing nothing would end the process.
  if (!current) return text;
  try {
    std::rethrow_exception(current);
  } catch (const _com_error& e) {
    return sprintf_wstring(L"%s _com_error: %s", text.c_str(), com_error_text(e).c_str());
  } catch (const plinth::exception_w& e) {
    return sprintf_wstring(L"%s Exception: %s", text.c_str(), e.what_w());
  } catch (const std::exception& e) {
    return sprintf_wstring(L"%s exception: %s", text.c_str(), unicode::to_wide(e.what(), CP_ACP).c_str());
  } catch (...) {
    return sprintf_wstring(L"%s unknown exception caught", text.c_str());
  }
}

}  // namespace

hub::hub() = default;

hub::~hub() { clear(); }

void hub::add(listener* l, int minimum_level) {
  scope guard(&m_mutex);
  // A multimap puts a new entry after those with the same key.
  m_listeners.emplace(minimum_level, l);
}

void hub::clear() {
  scope guard(&m_mutex);
  for (auto& entry : m_listeners) delete entry.second;
  m_listeners.clear();
}

void hub::write_line(int level, const std::wstring& text) {
  const std::string line_stamp = stamp(level);
  const std::wstring line = level == 5 ? with_current_exception(text) : text;

  scope guard(&m_mutex);
  std::string utf8;
  bool converted = false;
  // Backwards from the last listener that takes this level: the highest minimum level first and,
  // among equal ones, the most recently added first.
  for (auto entry = m_listeners.upper_bound(level); entry != m_listeners.begin();) {
    --entry;
    if (entry->second == nullptr) continue;
    if (!converted) {
      utf8 = unicode::to_narrow(line, CP_UTF8, true);
      converted = true;
    }
    entry->second->write(level, line_stamp, utf8);
  }
}

void hub::write(const std::string& text) {
  // Any failure counts, a listener's included: the next reading is tried.
  try {
    write_line(1, unicode::to_wide(text, CP_ACP));
    return;
  } catch (...) {
  }
  try {
    write_line(1, unicode::to_wide(text, CP_UTF8));
    return;
  } catch (...) {
  }
  writef_w(1, L"plinth::log: unable to convert input to unicode");
}

void hub::writef_w(int level, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = vsprintf_wstring(format, args);
  va_end(args);
  write_line(level, text);
}

}  // namespace log
}  // namespace plinth
