#include "installer/remove_tree.hpp"

bool remove_tree(const std::string& path, tree_file_system& file_system) {
  // An empty path would become "\", the root of the current drive.
  if (path.empty()) return false;
  std::string directory = path;
  if (directory.back() != '\\' && directory.back() != '/') directory += '\\';

  const auto entries = file_system.list(directory);
  if (!entries) return false;
  for (const directory_entry& entry : *entries) {
    const std::string full = directory + entry.name;
    if (!entry.directory) {
      // A read-only file or one held open stays; so, then, does the tree above it.
      file_system.delete_file(full);
    } else if (entry.name.empty() || entry.name[0] == '.') {
      // ".", ".." and every dot-directory are not ours to descend into.
    } else if (entry.reparse_point) {
      // Removing a directory link removes the link only; descending would delete the target's
      // files, which may lie anywhere on the machine.
      file_system.remove_directory(full);
    } else {
      remove_tree(full, file_system);
    }
  }
  return file_system.remove_directory(directory);
}
