#include "tests/support/system_error.hpp"

namespace test_support {

void throw_error(const std::string& what, DWORD code) {
  throw std::runtime_error(what + " failed (error " + std::to_string(code) + ")");
}

void throw_last_error(const std::string& what) {
  throw_error(what, GetLastError());
}

}  // namespace test_support
