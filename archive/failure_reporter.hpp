#pragma once
// How the extraction tells the user what went wrong: a caption, and the text "File: " path
// "\rError: " and the system's text for an error code.
#include <string>

#include "archive/os_error.hpp"

class failure_reporter {
 public:
  virtual ~failure_reporter() = default;
  virtual void report(const std::string& caption, const std::string& path, os_error code) = 0;
};

// "File: " + path + "\rError: " + the system's text for `code`.
std::string failure_text(const std::string& path, os_error code);

// A message box without owner and with an OK button on Windows, the caption and text on
// standard error elsewhere; nothing at all when silent.
class system_failure_reporter : public failure_reporter {
 public:
  explicit system_failure_reporter(bool silent) : m_silent(silent) {}
  void report(const std::string& caption, const std::string& path, os_error code) override;

 private:
  bool m_silent;
};
