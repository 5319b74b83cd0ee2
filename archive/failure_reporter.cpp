#include "archive/failure_reporter.hpp"

std::string failure_text(const std::string& path, os_error code) {
  return "File: " + path + "\rError: " + os_error_text(code);
}
