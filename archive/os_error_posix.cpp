#include <cerrno>
#include <cstring>

#include "archive/os_error.hpp"

os_error last_os_error() { return static_cast<os_error>(errno); }
std::string os_error_text(os_error code) { return std::strerror(static_cast<int>(code)); }
os_error invalid_name_error() { return EINVAL; }
os_error end_of_file_error() { return ENODATA; }
os_error disk_full_error() { return ENOSPC; }
os_error out_of_memory_error() { return ENOMEM; }
