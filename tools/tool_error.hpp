#pragma once
// The two ways a kestor-pack command fails: the command line itself is wrong (exit code 2, with a
// pointer to --help), or the work cannot be done (exit code 1).
#include <stdexcept>

class usage_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class tool_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
