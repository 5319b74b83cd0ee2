#pragma once
// Windows side of the MSI log option: see add_msi_log.
#include <string>

// Sets the file's attributes to FILE_ATTRIBUTE_NORMAL, so that a read-only file can be written
// again. The result is ignored: the file need not exist.
void reset_file_attributes(const std::string& path);
