#pragma once
// The codes the system gives for an absent file and for a file in an absent directory.
#include <cerrno>

#include "archive/os_error.hpp"

#ifdef _WIN32
constexpr os_error file_not_found = 2;  // ERROR_FILE_NOT_FOUND
constexpr os_error path_not_found = 3;  // ERROR_PATH_NOT_FOUND
#else
constexpr os_error file_not_found = ENOENT;
constexpr os_error path_not_found = ENOENT;
#endif
