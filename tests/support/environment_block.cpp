#include "tests/support/environment_block.hpp"

#include <windows.h>

#include <cctype>
#include <map>
#include <memory>

#include "tests/support/system_error.hpp"

namespace test_support {
namespace {

struct name_less {
  bool operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
    });
  }
};

struct environment_strings_free {
  void operator()(char* block) const { FreeEnvironmentStringsA(block); }
};

}  // namespace

std::string make_environment_block(const environment_overrides& overrides) {
  std::unique_ptr<char, environment_strings_free> current(GetEnvironmentStringsA());
  if (!current) {
    throw_last_error("GetEnvironmentStringsA");
  }
  // Entries such as "=C:=C:\dir" (the per-drive directories) have a name that begins with "=",
  // so the name ends at the first "=" after the first character.
  std::map<std::string, std::string, name_less> variables;
  for (const char* entry = current.get(); *entry != '\0'; entry += std::char_traits<char>::length(entry) + 1) {
    std::string text(entry);
    std::size_t equals = text.find('=', 1);
    if (equals == std::string::npos) {
      continue;
    }
    variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : overrides) {
    variables.erase(name);
    variables.emplace(name, value);
  }
  std::string block;
  for (const auto& [name, value] : variables) {
    block += name;
    block += '=';
    block += value;
    block += '\0';
  }
  block += '\0';
  return block;
}

}  // namespace test_support
