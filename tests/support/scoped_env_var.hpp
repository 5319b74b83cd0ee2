#pragma once
// Sets (or removes) a variable of this process's environment and restores the previous state at
// the end of the scope. Children started afterwards inherit it. This is the Win32 environment:
// the C library's getenv may keep its own copy.
#include <optional>
#include <string>

namespace test_support {

class scoped_env_var {
 public:
  // std::nullopt removes the variable for the scope.
  scoped_env_var(std::string name, const std::optional<std::string>& value);
  ~scoped_env_var();
  scoped_env_var(const scoped_env_var&) = delete;
  scoped_env_var& operator=(const scoped_env_var&) = delete;

 private:
  std::string m_name;
  std::optional<std::string> m_previous;
};

// The variable's value, std::nullopt when it is not set.
std::optional<std::string> get_env_var(const std::string& name);

}  // namespace test_support
