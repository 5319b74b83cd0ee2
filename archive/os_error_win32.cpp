#include <windows.h>

#include "archive/os_error.hpp"
#include "plinth/system_message.hpp"

os_error last_os_error() { return GetLastError(); }
std::string os_error_text(os_error code) { return plinth::system_message(code); }
os_error invalid_name_error() { return ERROR_INVALID_NAME; }
os_error end_of_file_error() { return ERROR_HANDLE_EOF; }
os_error disk_full_error() { return ERROR_DISK_FULL; }
os_error out_of_memory_error() { return ERROR_NOT_ENOUGH_MEMORY; }
