#pragma once
// Error codes of the system calls beneath the archive's file layer: GetLastError codes on
// Windows, errno values elsewhere. Kept as a plain number so that the portable reading code can
// carry a failure to the place that reports it without knowing the platform.
#include <string>

using os_error = unsigned long;

// The calling thread's last error code, as it stands at the moment of the call.
os_error last_os_error();

// The system's text for a code (plinth::system_message on Windows, strerror elsewhere).
std::string os_error_text(os_error code);

// Codes for failures that the reading code detects itself rather than a system call.
os_error invalid_name_error();  // a name that may not be created (ERROR_INVALID_NAME / EINVAL)
os_error end_of_file_error();   // a read that found fewer bytes than asked (ERROR_HANDLE_EOF / ENODATA)
os_error disk_full_error();     // a write that made no progress (ERROR_DISK_FULL / ENOSPC)
os_error out_of_memory_error(); // a buffer that could not be had (ERROR_NOT_ENOUGH_MEMORY / ENOMEM)
