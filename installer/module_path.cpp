#include "installer/module_path.hpp"

#include <windows.h>

#include <vector>

std::string module_path() {
  // GetModuleFileNameA fills the buffer completely and cuts the path when it does not fit; a
  // result shorter than the buffer is the whole path.
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    if (buffer.size() >= 32768 * 4) return std::string();  // beyond what any file path can be
    buffer.resize(buffer.size() * 2);
  }
}
