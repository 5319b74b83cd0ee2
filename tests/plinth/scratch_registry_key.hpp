#pragma once
// A key below HKEY_LOCAL_MACHINE made for one test, with raw values of any type and size, and
// deleted with everything in it when the test ends.
#include <string>

#include <windows.h>

namespace registry_test {

class scratch_registry_key {
 public:
  explicit scratch_registry_key(std::wstring path) : m_path(std::move(path)) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_path.c_str());
    m_status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                               &m_handle, nullptr);
  }
  scratch_registry_key(const scratch_registry_key&) = delete;
  scratch_registry_key& operator=(const scratch_registry_key&) = delete;
  ~scratch_registry_key() {
    if (m_status == ERROR_SUCCESS) RegCloseKey(m_handle);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_path.c_str());
  }

  bool created() const { return m_status == ERROR_SUCCESS; }
  const std::wstring& path() const { return m_path; }

  // Stores exactly the given bytes.
  bool set(const std::wstring& name, DWORD type, const void* data, DWORD bytes) const {
    return RegSetValueExW(m_handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
  }
  // Stores the characters of text (NULs included as given) followed by extra_bytes of its
  // terminator: 0 for none, 2 for a whole NUL, 1 for an odd byte count.
  bool set_text(const std::wstring& name, DWORD type, const std::wstring& text, DWORD extra_bytes = 2) const {
    return set(name, type, text.c_str(), static_cast<DWORD>(text.size() * sizeof(wchar_t)) + extra_bytes);
  }
  bool set_dword(const std::wstring& name, DWORD value) const { return set(name, REG_DWORD, &value, sizeof(value)); }

  // Type and size of a stored value, as the system reports them.
  bool query(const std::wstring& name, DWORD& type, DWORD& bytes) const {
    bytes = 0;
    return RegQueryValueExW(m_handle, name.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS;
  }

 private:
  std::wstring m_path;
  HKEY m_handle = nullptr;
  LONG m_status = ERROR_INVALID_HANDLE;
};

}  // namespace registry_test
