#pragma once
// Puts the configuration's table of system calls back when a test ends.
#include "config/system_calls.hpp"

namespace config_test {

class replaced_calls {
 public:
  replaced_calls() : m_saved(config::calls()) {}
  ~replaced_calls() { config::calls() = m_saved; }
  replaced_calls(const replaced_calls&) = delete;
  replaced_calls& operator=(const replaced_calls&) = delete;

 private:
  config::system_calls m_saved;
};

}  // namespace config_test
