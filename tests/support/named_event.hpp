#pragma once
// A manual-reset named event that the test sets to release a waiting program (the payload).
#include <string>

#include "plinth/unique_handle.hpp"

namespace test_support {

using plinth::unique_handle;

class named_event {
 public:
  // A name unique to this process and object, in the session's namespace.
  named_event();
  explicit named_event(std::string name);

  const std::string& name() const { return m_name; }
  void set();

 private:
  std::string m_name;
  unique_handle m_handle;
};

}  // namespace test_support
