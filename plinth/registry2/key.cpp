#include "plinth/registry2/key.hpp"

#include <cstdint>
#include <cstring>
#include <vector>

#include "plinth/format.hpp"
#include "plinth/registry2/system_calls.hpp"
#include "plinth/unicode/convert.hpp"

namespace plinth {
namespace registry2 {
namespace {

const REGSAM read_write_rights = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
const REGSAM read_rights = KEY_READ;
static_assert(read_write_rights == 0x2001F && read_rights == 0x20019, "access masks");

// Room for the expanded text of a REG_EXPAND_SZ value, terminator included.
const DWORD expansion_capacity = 32768;

// Names appear in messages in the ANSI code page; a name it cannot hold fails the conversion.
std::string narrow(const std::wstring& name) { return unicode::to_narrow(name, CP_ACP, true); }

// Read-write first; read-only only when exactly that was refused.
LONG open_handle(HKEY parent, const wchar_t* path, HKEY* result) {
  LONG status = calls().open_key(parent, path, 0, read_write_rights, result);
  if (status == ERROR_ACCESS_DENIED) status = calls().open_key(parent, path, 0, read_rights, result);
  return status;
}

// A predefined root key is a small negative number in a pointer (HKEY_LOCAL_MACHINE is
// 0x80000002 sign-extended); it is shown as that number.
int handle_number(HKEY handle) { return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)); }

std::wstring expand(const std::wstring& name, const std::wstring& text) {
  std::wstring work(expansion_capacity, L'\0');
  const DWORD needed = calls().expand_strings(text.c_str(), &work[0], expansion_capacity);
  // A result that does not fit is not in the work area, so it is an error like a failed call,
  // never a text cut at some arbitrary point. The terminator must also sit where the count says:
  // near the limit a system may cut the text short and still report its full length (seen under
  // Wine, whose expansion holds at most 32766 characters), and an expanded text has no NUL of its
  // own, the source being taken up to its first one.
  const bool complete = needed != 0 && needed <= expansion_capacity && work.find(L'\0') == needed - 1;
  if (!complete) {
    const DWORD code = needed == 0 ? GetLastError() : static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER);
    throw value_error(sprintf_string("ExpandEnvironmentStrings() failed: value \"%s\" (%i)", narrow(name).c_str(),
                                     static_cast<int>(code)));
  }
  work.resize(needed - 1);
  return work;
}

}  // namespace

key::key(HKEY root) : m_handle(nullptr) {
  const LONG status = open_handle(root, nullptr, &m_handle);
  if (status != ERROR_SUCCESS)
    throw key_error(sprintf_string("RegOpenKeyEx() failed: handle %i (%i)", handle_number(root), static_cast<int>(status)));
}

key::key(HKEY handle, adopt) : m_handle(handle) {}

key::~key() { RegCloseKey(m_handle); }

key key::open(const std::wstring& path) const {
  HKEY handle = nullptr;
  const LONG status = open_handle(m_handle, path.c_str(), &handle);
  if (status != ERROR_SUCCESS)
    throw key_error(
        sprintf_string("RegOpenKeyEx() failed: key \"%s\" (%i)", narrow(path).c_str(), static_cast<int>(status)));
  return key(handle, adopt());
}

std::wstring key::get_string_w(const std::wstring& name) const {
  DWORD type = REG_NONE;
  DWORD size = 0;
  // Any failure of this query leaves the type at REG_NONE unless the system wrote one, and is then
  // reported as a missing value below.
  if (calls().query_value(m_handle, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_FILE_NOT_FOUND)
    type = REG_NONE;

  if (type == REG_NONE) throw value_error(sprintf_string("Not found: value \"%s\"", narrow(name).c_str()));
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw type_mismatch(sprintf_string("Type mismatch: value \"%s\" expected %i found %i", narrow(name).c_str(),
                                       static_cast<int>(REG_SZ), static_cast<int>(type)));

  // The data is read into exactly the announced number of bytes; an odd last byte is then left
  // out of the text, which holds size / 2 characters.
  std::vector<BYTE> data(size == 0 ? 1 : size);
  DWORD count = size;
  const LONG status = calls().query_value(m_handle, name.c_str(), nullptr, nullptr, data.data(), &count);
  // A value that grew in between reports ERROR_MORE_DATA with its new size: that is a size
  // mismatch, so the sizes are compared before the result.
  if (count != size)
    throw size_mismatch(sprintf_string("Size mismatch: value \"%s\" expected %i found %i", narrow(name).c_str(),
                                       static_cast<int>(size), static_cast<int>(count)));
  if (status != ERROR_SUCCESS)
    throw value_error(
        sprintf_string("RegQueryValueEx() failed: value \"%s\" (%i)", narrow(name).c_str(), static_cast<int>(status)));

  std::wstring text(size / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
  // Only one terminator is dropped: a value stored with two keeps the second as part of its text.
  if (!text.empty() && text.back() == L'\0') text.pop_back();

  if (type == REG_EXPAND_SZ) return expand(name, text);
  return text;
}

std::string key::get_string(const std::wstring& name) const {
  return unicode::to_narrow(get_string_w(name), CP_ACP, true);
}

void key::set_string(const std::wstring& name, const std::wstring& value) const {
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  const LONG status =
      RegSetValueExW(m_handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
  if (status != ERROR_SUCCESS)
    throw value_error(
        sprintf_string("RegSetValueEx() failed: value \"%s\" (%i)", narrow(name).c_str(), static_cast<int>(status)));
}

}  // namespace registry2
}  // namespace plinth
