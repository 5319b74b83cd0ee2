#include "config/system_calls.hpp"

#include <cstdlib>

#include <shlobj.h>

namespace config {

system_calls& calls() {
  static system_calls table = {&GetModuleFileNameW, &SHGetFolderPathW,
                               [](void (*function)()) { return std::atexit(function); }};
  return table;
}

}  // namespace config
