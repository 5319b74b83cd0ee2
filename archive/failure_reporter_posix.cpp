#include <cstdio>

#include "archive/failure_reporter.hpp"

// Without message boxes the caption and the text go to standard error, the text's carriage
// return left as it is.
void system_failure_reporter::report(const std::string& caption, const std::string& path, os_error code) {
  if (m_silent) return;
  const std::string text = failure_text(path, code);
  std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
}
