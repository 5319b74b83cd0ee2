#pragma once
// Deletion of a directory with everything below it, over an abstract file system so that the
// walk itself is tested on every platform, links included.
#include <optional>
#include <string>
#include <vector>

struct directory_entry {
  std::string name;
  bool directory = false;
  // A junction, a symbolic link or another reparse point: its target lies elsewhere.
  bool reparse_point = false;
};

// The operations the walk needs; paths are full paths in the system's narrow form.
class tree_file_system {
 public:
  virtual ~tree_file_system() = default;
  // Every entry of the directory `directory` (which ends in a separator), "." and ".." included
  // as the system reports them; nothing when the directory cannot be listed.
  virtual std::optional<std::vector<directory_entry>> list(const std::string& directory) = 0;
  virtual bool delete_file(const std::string& path) = 0;
  virtual bool remove_directory(const std::string& path) = 0;
};

// Deletes every file and sub-directory below `path` (with or without a trailing "\" or "/") and
// then the directory itself; true when the directory itself was removed. What cannot be deleted
// stays, silently, and with it every directory above it. Sub-directories whose names begin with
// "." are left alone. A linked directory is never entered: the link is removed and its target
// left untouched, so the walk cannot reach outside the tree. An empty path removes nothing.
bool remove_tree(const std::string& path, tree_file_system& file_system);
