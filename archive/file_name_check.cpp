#include "archive/file_name_check.hpp"

bool is_extractable_file_name(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  // A zero byte would cut the name short when it reaches the system, so the file created would
  // not be the one the archive names.
  static const char refused[] = {'\\', '/', ':', '\0'};
  return name.find_first_of(refused, 0, sizeof refused) == std::string::npos;
}
