#include "tests/support/temp_dir.hpp"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <system_error>

#include "tests/support/system_error.hpp"

namespace test_support {

temp_dir::temp_dir(const std::string& prefix) {
  char base[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(sizeof(base), base);
  if (length == 0 || length > MAX_PATH) {
    throw_last_error("GetTempPathA");
  }
  static std::atomic<unsigned> counter{0};
  for (;;) {
    std::string candidate = std::string(base) + prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(GetTickCount()) + "-" + std::to_string(counter++);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      m_path = candidate;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      throw_last_error("CreateDirectoryA " + candidate);
    }
  }
}

temp_dir::~temp_dir() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(m_path), ignored);
}

std::string temp_dir::file(const std::string& name) const {
  return m_path + "\\" + name;
}

}  // namespace test_support
