#pragma once
// Failures of the test-support library: a std::runtime_error naming the call and its error code,
// so that a broken test set-up reads differently from a failed assertion.
#include <windows.h>

#include <stdexcept>
#include <string>

namespace test_support {

// "<what> failed (error <code>)" with GetLastError() unless a code is given.
[[noreturn]] void throw_last_error(const std::string& what);
[[noreturn]] void throw_error(const std::string& what, DWORD code);

}  // namespace test_support
