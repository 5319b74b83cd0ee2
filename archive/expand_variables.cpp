#include "archive/expand_variables.hpp"

#include <unordered_set>
#include <vector>

#include "archive/variable_table.hpp"

namespace {

// One text being expanded: the caller's text at the bottom of the stack, above it the values
// whose expansion is pending. Kept on the heap rather than the call stack, because a chain of
// thousands of variables would otherwise overflow the thread's stack.
struct frame {
  explicit frame(const std::string* text_) : text(text_) {}

  const std::string* text;
  std::size_t scan = 0;            // where the search for the next '%' resumes
  std::size_t copied = 0;          // text[copied, ...) is not in out yet
  std::size_t reference = 0;       // while a value is expanded: its reference in text,
  std::size_t reference_end = 0;   // from the last '%' of the run to after the closing '%'
  std::string out;
};

class work_budget {
 public:
  explicit work_budget(std::size_t limit) : m_left(limit) {}

  bool exhausted() const { return m_exhausted; }

  // False, and exhausted from then on, when the units are not left.
  bool charge(std::size_t units) {
    if (m_exhausted || units > m_left) {
      m_exhausted = true;
      m_left = 0;
      return false;
    }
    m_left -= units;
    return true;
  }

 private:
  std::size_t m_left;
  bool m_exhausted = false;
};

}  // namespace

std::string expand_variables(const std::string& text, const variable_table& table) {
  return expand_variables(text, table, expansion_work_limit);
}

std::string expand_variables(const std::string& text, const variable_table& table,
                             std::size_t work_limit) {
  work_budget budget(work_limit);
  // The values being expanded, by address: each key has its own value object.
  std::unordered_set<const std::string*> active;
  std::vector<frame> stack;
  stack.emplace_back(&text);
  std::string finished;  // the expansion of the value just completed
  bool returning = false;

  for (;;) {
    frame& current = stack.back();
    const std::string& source = *current.text;

    if (returning) {
      returning = false;
      if (budget.charge(finished.size())) {
        current.out += finished;
      } else {
        current.out.append(source, current.reference, current.reference_end - current.reference);
      }
      current.copied = current.reference_end;
      current.scan = current.reference_end;
    }

    const std::string* descend = nullptr;
    while (!budget.exhausted()) {
      const std::size_t run = source.find('%', current.scan);
      if (run == std::string::npos)
        break;
      const std::size_t name_begin = source.find_first_not_of('%', run);
      if (name_begin == std::string::npos)
        break;
      const std::size_t close = source.find('%', name_begin);
      if (close == std::string::npos)
        break;
      if (!budget.charge(close + 1 - current.scan))
        break;

      const std::string* value = table.find(source.substr(name_begin, close - name_begin));
      if (value != nullptr && active.count(value) == 0) {
        current.out.append(source, current.copied, name_begin - 1 - current.copied);
        current.reference = name_begin - 1;
        current.reference_end = close + 1;
        descend = value;
        break;
      }
      // Unknown, or already being expanded: the name stays, and its closing '%' may open the
      // next reference.
      current.scan = close;
    }

    if (descend != nullptr) {
      active.insert(descend);
      stack.emplace_back(descend);
      continue;
    }

    current.out.append(source, current.copied, std::string::npos);
    finished = std::move(current.out);
    active.erase(current.text);
    stack.pop_back();
    if (stack.empty())
      return finished;
    returning = true;
  }
}
