#pragma once
// The Windows file system under remove_tree: the ANSI directory functions.
#include "installer/remove_tree.hpp"

class windows_tree_file_system : public tree_file_system {
 public:
  std::optional<std::vector<directory_entry>> list(const std::string& directory) override;
  bool delete_file(const std::string& path) override;
  bool remove_directory(const std::string& path) override;
};
