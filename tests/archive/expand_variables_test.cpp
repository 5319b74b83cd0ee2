#include "archive/expand_variables.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "archive/variable_table.hpp"

namespace {

struct expansion_case {
  const char* text;
  const char* expected;
};

void expect_expansions(const variable_table& table, const std::vector<expansion_case>& cases) {
  for (const expansion_case& c : cases)
    EXPECT_EQ(c.expected, expand_variables(c.text, table)) << "text: " << c.text;
}

variable_table make_table(const std::vector<std::pair<std::string, std::string>>& pairs) {
  variable_table table;
  for (const auto& pair : pairs)
    table.set(pair.first, pair.second);
  return table;
}

TEST(expand_variables, references_runs_and_unknown_names) {
  const variable_table table = make_table({{"x", "1"},
                                           {"d", "DD"},
                                           {"y", "%q%"},
                                           {"empty", ""},
                                           {"a b\"\\", "odd name"},
                                           {"Path", "P"}});
  expect_expansions(table, {
      {"%x%", "1"},
      {"%%x%", "%1"},
      {"%%%x%", "%%1"},
      {"100% of %x%", "100% of 1"},
      {"%u%x%", "%u1"},
      {"%u%%x%", "%u%1"},
      {"%d%%x%", "DD1"},
      {"%y% and %x%", "%q% and 1"},
      {"a%b", "a%b"},
      {"", ""},
      {"no references", "no references"},
      {"%", "%"},
      {"%%", "%%"},
      {"%%%", "%%%"},
      {"x%", "x%"},
      {"%x", "%x"},
      {"%x%%", "1%"},
      {"%x%x%x%", "1x1"},
      {"[%empty%]", "[]"},
      {"%a b\"\\%", "odd name"},
      {"%path% %PATH% %Path%", "%path% %PATH% P"},
      {"%x %", "%x %"},
  });
}

TEST(expand_variables, values_are_expanded_before_insertion_and_not_scanned_again) {
  // "executable32" refers to the file entry's key, as in a real package.
  const variable_table table = make_table({{"executable32", "%installer32%"},
                                           {"installer32", "ZEMPOSetup.exe"},
                                           {"outer", "<%inner%|%x%>"},
                                           {"inner", "[%x%]"},
                                           {"x", "1"},
                                           {"half", "%x"},
                                           {"pct", "%"}});
  expect_expansions(table, {
      {"%executable32%", "ZEMPOSetup.exe"},
      {"%outer%", "<[1]|1>"},
      // The inserted "%x" does not join the text after it to make a new reference.
      {"%half%%", "%x%"},
      {"%pct%x%", "%x%"},
      {"%half%x%", "%xx%"},
  });
}

TEST(expand_variables, a_key_added_by_get_expands_to_nothing) {
  variable_table table;
  EXPECT_EQ("a%msilog%b", expand_variables("a%msilog%b", table));
  table.get("msilog");
  EXPECT_EQ("ab", expand_variables("a%msilog%b", table));
}

TEST(expand_variables, self_references_stay_as_written) {
  const variable_table table = make_table({{"self", "a%self%b"},
                                           {"ping", "<%pong%>"},
                                           {"pong", "(%ping%)"},
                                           {"ring1", "%ring2%"},
                                           {"ring2", "%ring3%"},
                                           {"ring3", "%ring1%!"},
                                           {"twice", "%self%%self%"},
                                           {"x", "1"},
                                           {"mixed", "%x%%mixed%%x%"}});
  expect_expansions(table, {
      {"%self%", "a%self%b"},
      {"%self%%self%", "a%self%ba%self%b"},
      {"%ping%", "<(%ping%)>"},
      {"%pong%", "(<%pong%>)"},
      {"%ring1%", "%ring1%!"},
      {"%ring3%", "%ring3%!"},
      // Only names being expanded further out stay: a sibling reference expands again.
      {"%twice%", "a%self%ba%self%b"},
      // The closing '%' of the kept reference opens the next one, as for an unknown name.
      {"%mixed%", "1%mixed%1"},
  });
}

TEST(expand_variables, blow_up_stops_at_the_work_limit) {
  // Each level doubles the text: 40 levels would ask for 2^40 characters.
  variable_table table;
  table.set("v0", "ab");
  for (int level = 1; level <= 40; ++level) {
    const std::string below = "%v" + std::to_string(level - 1) + "%";
    table.set("v" + std::to_string(level), below + below);
  }
  EXPECT_EQ(1024u, expand_variables("%v9%", table).size());
  const std::string wide = expand_variables("%v40%", table);
  EXPECT_LE(wide.size(), expansion_work_limit + 5);
  EXPECT_NE(std::string::npos, wide.find("%v"));  // references past the limit stay as written

  // Work without growth: each level expands to nothing.
  variable_table empty;
  empty.set("e0", "");
  for (int level = 1; level <= 60; ++level) {
    const std::string below = "%e" + std::to_string(level - 1) + "%";
    empty.set("e" + std::to_string(level), below + below + below);
  }
  EXPECT_EQ("", expand_variables("%e3%", empty));
  EXPECT_NE("", expand_variables("%e60%", empty));

  // A small limit shows the rule: what was inserted stays, the rest is kept as written.
  const variable_table small = make_table({{"x", "12345"}});
  EXPECT_EQ("12345 12345", expand_variables("%x% %x%", small, 100));
  EXPECT_EQ("12345 %x%", expand_variables("%x% %x%", small, 12));
}

TEST(expand_variables, a_long_chain_does_not_exhaust_the_stack) {
  variable_table table;
  const int length = 100000;
  for (int i = 0; i < length; ++i)
    table.set("c" + std::to_string(i), "%c" + std::to_string(i + 1) + "%");
  table.set("c" + std::to_string(length), "end");
  EXPECT_EQ("end", expand_variables("%c0%", table));
}

}  // namespace
