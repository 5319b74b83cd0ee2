#include "plinth/exception.hpp"

#include <cstdarg>

#include "plinth/format.hpp"
#include "plinth/unicode/convert.hpp"

#include <windows.h>

namespace plinth {

exception::exception(const std::string& message) : m_message(message) {}

exception::exception(const char* format, ...) {
  va_list args;
  va_start(args, format);
  m_message = vsprintf_string(format, args);
  va_end(args);
}

exception::exception(const exception& other)
    : std::exception(other), m_what(other.m_what), m_message(other.m_message), m_kind(other.m_kind) {}

exception::~exception() = default;

const char* exception::what() const noexcept {
  // what() may not throw; an allocation failure leaves the previous text in place.
  try {
    m_what = m_kind + "[" + m_message + "]";
  } catch (...) {
  }
  return m_what.c_str();
}

const char* exception::message() const { return m_message.c_str(); }

const char* exception::kind() const { return m_kind.c_str(); }

void exception::append_kind(const char* segment) {
  if (!m_kind.empty()) m_kind += ".";
  m_kind += segment;
}

exception_w::exception_w(const wchar_t* format, ...) : exception(std::string()), m_narrowed(false) {
  va_list args;
  va_start(args, format);
  m_message_w = vsprintf_wstring(format, args);
  va_end(args);
}

exception_w::exception_w(const exception_w& other)
    : exception(other),
      m_what_w(other.m_what_w),
      m_message_w(other.m_message_w),
      m_kind_w(other.m_kind_w),
      m_narrowed(other.m_narrowed) {}

exception_w::~exception_w() = default;

void exception_w::make_narrow_views() const {
  if (m_narrowed) return;
  m_kind = unicode::to_narrow(m_kind_w, CP_ACP, false);
  m_message = unicode::to_narrow(m_message_w, CP_ACP, false);
  m_narrowed = true;
}

const char* exception_w::what() const noexcept {
  // std::exception::what is noexcept; a conversion failure (no such code page, no memory) then
  // shows the wide-only state, an empty kind and message, rather than ending the process.
  try {
    make_narrow_views();
  } catch (...) {
  }
  return exception::what();
}

const char* exception_w::message() const {
  make_narrow_views();
  return exception::message();
}

const char* exception_w::kind() const {
  make_narrow_views();
  return exception::kind();
}

const wchar_t* exception_w::what_w() const {
  m_what_w = m_kind_w + L"[" + m_message_w + L"]";
  return m_what_w.c_str();
}

const wchar_t* exception_w::message_w() const { return m_message_w.c_str(); }

const wchar_t* exception_w::kind_w() const { return m_kind_w.c_str(); }

}  // namespace plinth
