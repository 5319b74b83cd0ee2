#pragma once
// Walks a command's arguments in order; options take their value from the next argument.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "tools/tool_error.hpp"

class argument_cursor {
 public:
  explicit argument_cursor(std::vector<std::string> arguments) : m_arguments(std::move(arguments)) {}

  bool done() const { return m_next == m_arguments.size(); }
  const std::string& next() { return m_arguments.at(m_next++); }

  // The argument after `option`, which must be there.
  const std::string& value_of(const std::string& option) {
    if (done()) throw usage_error(option + " needs a value");
    return next();
  }

 private:
  std::vector<std::string> m_arguments;
  std::size_t m_next = 0;
};

// Whether an argument names an option rather than an operand; "-" alone is an operand.
inline bool is_option(const std::string& argument) {
  return argument.size() > 1 && argument[0] == '-';
}
