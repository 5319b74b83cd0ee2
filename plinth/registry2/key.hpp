#pragma once
// An open registry key, and string values read from it with strict checks of type and size.
// Every failure is thrown as one of plinth/registry2/exceptions.hpp; nothing returns an error code.
#include <string>

#include <windows.h>

#include "plinth/registry2/exceptions.hpp"

namespace plinth {
namespace registry2 {

// Owns one key handle, closed by the destructor. A key is opened with read-write rights and, when
// the system refuses them, with read rights, so the same code serves elevated and unelevated
// callers. No registry view is forced: the process sees its default view.
class key {
 public:
  // A new handle to a predefined root key such as HKEY_LOCAL_MACHINE. Throws key_error.
  explicit key(HKEY root);
  key(const key&) = delete;
  key& operator=(const key&) = delete;
  ~key();

  // The sub-key at a backslash-separated path below this key. Throws key_error.
  key open(const std::wstring& path) const;

  // A REG_SZ or REG_EXPAND_SZ value; one trailing NUL is dropped and REG_EXPAND_SZ is expanded.
  // Throws value_error, type_mismatch or size_mismatch.
  std::wstring get_string_w(const std::wstring& name) const;

  // get_string_w in the ANSI code page; a character it lacks throws unicode::unmappable_character.
  std::string get_string(const std::wstring& name) const;

  // Writes the text and its terminating NUL as REG_SZ. Throws value_error.
  void set_string(const std::wstring& name, const std::wstring& value) const;

 private:
  struct adopt {};
  key(HKEY handle, adopt);

  HKEY m_handle;
};

}  // namespace registry2
}  // namespace plinth
