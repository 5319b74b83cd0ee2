#include "installer/reset_file_attributes.hpp"

#include <windows.h>

void reset_file_attributes(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}
