#pragma once
// A fresh folder under the user's temporary directory, removed with all its contents when the
// owner goes away.
#include <string>

namespace test_support {

class temp_dir {
 public:
  explicit temp_dir(const std::string& prefix = "kestor-test");
  ~temp_dir();
  temp_dir(const temp_dir&) = delete;
  temp_dir& operator=(const temp_dir&) = delete;

  // Full path without a trailing backslash, e.g. "C:\users\me\Temp\kestor-test-2a-1".
  const std::string& path() const { return m_path; }
  // path() + "\" + name.
  std::string file(const std::string& name) const;

 private:
  std::string m_path;
};

}  // namespace test_support
