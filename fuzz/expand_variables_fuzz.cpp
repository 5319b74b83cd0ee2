// Fuzz entry for expand_variables. The input's first line is the text; each further line is a
// variable, "key=value" split at the first '=' (a line without '=' is a key with an empty value).
// Every expansion must end, stay within its size bound, and, when a straightforward rendering of
// the rules finishes with little work, give exactly its result.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/expand_variables.hpp"
#include "archive/variable_table.hpp"

namespace {

// The rules as they read, on a copy of the text replaced in place. Gives up (false) past a
// small amount of work or depth, where only the real implementation's bounds apply.
class reference_expansion {
 public:
  explicit reference_expansion(const variable_table& table) : m_table(table) {}

  bool expand(std::string text, std::string& result) {
    if (++m_depth > 200)
      return false;
    std::size_t from = 0;
    for (;;) {
      std::size_t run = text.find('%', from);
      if (run == std::string::npos)
        break;
      // Work is counted as the real implementation counts it: every character scanned from where
      // the search resumed, and every character inserted.
      std::size_t counted_from = from;
      bool found = false;
      while (!found) {
        std::size_t name = run;
        while (name < text.size() && text[name] == '%')
          ++name;
        if (name == text.size())
          break;
        const std::size_t close = text.find('%', name);
        if (close == std::string::npos)
          break;
        m_work += close + 1 - counted_from;
        const std::string key = text.substr(name, close - name);
        const std::string* value = m_table.find(key);
        if (value != nullptr && !is_active(value)) {
          m_active.push_back(value);
          std::string expanded;
          if (!expand(*value, expanded))
            return false;
          m_active.pop_back();
          m_work += expanded.size();
          if (m_work > work_cap)
            return false;
          text.replace(name - 1, close + 2 - name, expanded);
          from = name - 1 + expanded.size();
          found = true;
        } else {
          run = close;
          counted_from = close;
        }
      }
      if (!found)
        break;
    }
    --m_depth;
    result = text;
    return m_work <= work_cap;
  }

  static constexpr std::size_t work_cap = std::size_t(1) << 16;

 private:
  bool is_active(const std::string* value) const {
    for (const std::string* active : m_active)
      if (active == value)
        return true;
    return false;
  }

  const variable_table& m_table;
  std::vector<const std::string*> m_active;
  std::size_t m_work = 0;
  int m_depth = 0;
};

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "expand_variables fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = input.find('\n', start);
    lines.push_back(input.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos)
      break;
    start = end + 1;
  }

  const std::string& text = lines.front();
  variable_table table;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::size_t equals = lines[i].find('=');
    if (equals == std::string::npos)
      table.set(lines[i], "");
    else
      table.set(lines[i].substr(0, equals), lines[i].substr(equals + 1));
  }

  // A limit above the reference's cap: whatever the reference finishes, ours finishes without
  // reaching the limit, since both count the same work.
  const std::size_t limit = std::size_t(1) << 18;
  const std::string result = expand_variables(text, table, limit);
  check(result.size() <= text.size() + limit, "result beyond its bound");
  if (text.find('%') == std::string::npos)
    check(result == text, "a text without '%' changed");

  reference_expansion reference(table);
  std::string expected;
  if (reference.expand(text, expected))
    check(result == expected, "result differs from the rules");

  // Small limits, reached part-way through.
  const std::size_t small = size > 0 ? data[0] % 64 : 0;
  check(expand_variables(text, table, small).size() <= text.size() + small,
        "result beyond a small bound");
  return 0;
}
