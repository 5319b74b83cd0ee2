#include "tests/support/scoped_env_var.hpp"

#include <windows.h>

#include <vector>

#include "tests/support/system_error.hpp"

namespace test_support {

std::optional<std::string> get_env_var(const std::string& name) {
  std::vector<char> buffer(256);
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
        return std::nullopt;
      }
      return std::string();
    }
    if (length < buffer.size()) {
      return std::string(buffer.data(), length);
    }
    buffer.resize(length + 1);
  }
}

static void set_env_var(const std::string& name, const std::optional<std::string>& value) {
  if (!SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr)) {
    throw_last_error("SetEnvironmentVariableA " + name);
  }
}

scoped_env_var::scoped_env_var(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name)), m_previous(get_env_var(m_name)) {
  set_env_var(m_name, value);
}

scoped_env_var::~scoped_env_var() {
  SetEnvironmentVariableA(m_name.c_str(), m_previous ? m_previous->c_str() : nullptr);
}

}  // namespace test_support
