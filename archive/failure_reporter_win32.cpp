#include <windows.h>

#include "archive/failure_reporter.hpp"

void system_failure_reporter::report(const std::string& caption, const std::string& path, os_error code) {
  if (m_silent) return;
  MessageBoxA(nullptr, failure_text(path, code).c_str(), caption.c_str(), MB_OK);
}
