#include "installer/windows_tree_file_system.hpp"

#include <windows.h>

#include "installer/find_handle.hpp"

std::optional<std::vector<directory_entry>> windows_tree_file_system::list(const std::string& directory) {
  WIN32_FIND_DATAA data;
  const find_handle search(FindFirstFileA((directory + "*").c_str(), &data));
  if (!search.valid()) return std::nullopt;
  // The whole listing is read before anything is deleted, so no search stays open while the
  // walk descends.
  std::vector<directory_entry> entries;
  do {
    directory_entry entry;
    entry.name = data.cFileName;
    entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.reparse_point = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entries.push_back(std::move(entry));
  } while (FindNextFileA(search.get(), &data));
  return entries;
}

bool windows_tree_file_system::delete_file(const std::string& path) {
  return DeleteFileA(path.c_str()) != 0;
}

bool windows_tree_file_system::remove_directory(const std::string& path) {
  return RemoveDirectoryA(path.c_str()) != 0;
}
