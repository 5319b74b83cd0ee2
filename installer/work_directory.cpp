#include "installer/work_directory.hpp"

#include <windows.h>

#include <ctime>

#include "installer/read_sized_string.hpp"
#include "installer/remove_tree.hpp"
#include "installer/show_message.hpp"
#include "installer/windows_tree_file_system.hpp"
#include "installer/work_directory_path.hpp"

std::string get_temp_path() {
  // A temporary path beyond 260 characters is read whole: falling back to "C:\Temp\" would
  // claim the system call failed and put an elevated run into a directory other users share.
  return read_sized_string([](std::uint32_t size, char* buffer) {
    return static_cast<std::uint32_t>(GetTempPathA(size, buffer));
  });
}

std::string make_work_directory(bool silent) {
  return make_work_directory_in(get_temp_path(), _time64(nullptr), silent);
}

std::string make_work_directory_in(const std::string& temp_path, std::int64_t now, bool silent,
                                   int tries) {
  std::string temp = temp_path;
  if (temp.empty()) {
    show_message(silent, "Unable to get Temporary Directory", "GetTempPath failed");
    temp = "C:\\Temp\\";
  }
  // Normally there already; the fall-back may have to be made. A failure shows below.
  CreateDirectoryA(temp.c_str(), nullptr);

  std::int32_t number = work_directory_number(now);
  for (int attempt = 0; attempt < tries; ++attempt) {
    const std::string work = temp + work_directory_name(number);
    if (CreateDirectoryA(work.c_str(), nullptr)) return work;
    // Only a taken name is worth another try; anything else fails for every name alike.
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    number = next_work_directory_number(number);
  }
  return {};
}

void leave_work_directory(const std::string& work_directory) {
  // Right under a drive root the parent is "C:", which would leave the current directory in the
  // work directory and keep it from being removed.
  const std::string parent = directory_argument(parent_directory(work_directory));
  if (!parent.empty()) SetCurrentDirectoryA(parent.c_str());
  remove_tree(work_directory);
}

bool remove_tree(const std::string& path) {
  windows_tree_file_system file_system;
  return remove_tree(path, file_system);
}
