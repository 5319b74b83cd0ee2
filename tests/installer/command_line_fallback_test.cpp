// The fall-backs of the composition steps. Any step may fail while it allocates; this program
// makes exactly one allocation fail, at every position in turn, and checks that each step then
// ends either with its full result or with its stated fall-back, never with something between.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "installer/command_line.hpp"
#include "tests/installer/failing_allocation.hpp"

namespace {

// Long enough that no text fits into a string's inline buffer, so every copy allocates.
const std::string work = R"(C:\Users\Somebody\AppData\Local\Temp\TVN1234567\)";
const std::string command_line = R"(/qn /log-everything /V"INSTALLDIR=C:\Program Files\Product" /norestart)";
const std::string archive_parameters = R"(/V"USER_BRAND_NAME=\"Mirelund\" WEBINSTALLER=1")";
const std::string user_v_text = R"(INSTALLDIR=C:\Program Files\Product)";

// Runs `setup` and then `step` once for each allocation the step makes, that allocation failing.
template <class Setup, class Step, class Check>
void fail_each_allocation(Setup setup, Step step, Check check) {
  for (long n = 1;; ++n) {
    setup();
    failing_allocation::arm(n);
    step();
    failing_allocation::disarm();
    const bool hit = failing_allocation::failed();
    SCOPED_TRACE("allocation " + std::to_string(n) + (hit ? " failed" : " none failed"));
    check(hit);
    if (!hit) {
      // The step allocated at all, so its failures were exercised.
      EXPECT_GT(n, 1);
      break;
    }
  }
}

TEST(command_line_fallback, split_keeps_the_whole_command_line) {
  std::string text;
  variable_table table;
  fail_each_allocation(
      [&] { table = variable_table(); },
      [&] { text = split_command_line(command_line, table); },
      [&](bool hit) {
        const std::string& stored = table.get("commandline");
        if (stored == command_line) {
          EXPECT_TRUE(hit);
          EXPECT_EQ(text, "");
        } else {
          EXPECT_EQ(stored, "/qn /log-everything  /norestart");
          EXPECT_EQ(text, user_v_text);
        }
      });
}

TEST(command_line_fallback, merge_keeps_the_archive_parameters) {
  variable_table table;
  fail_each_allocation(
      [&] {
        table = variable_table();
        table.set("commandline", "/qn /log-everything  /norestart");
        table.set("parameters", archive_parameters);
      },
      [&] { merge_parameters(table, user_v_text); },
      [&](bool hit) {
        const std::string& stored = table.get("parameters");
        if (stored == archive_parameters) {
          EXPECT_TRUE(hit);
        } else {
          EXPECT_EQ(stored, "/qn /log-everything  /norestart "
                            R"(/V"INSTALLDIR=C:\Program Files\Product USER_BRAND_NAME=\"Mirelund\" WEBINSTALLER=1")");
        }
      });
}

TEST(command_line_fallback, msi_log_keeps_the_parameters) {
  variable_table table;
  const std::string merged = " " + archive_parameters;
  fail_each_allocation(
      [&] {
        table = variable_table();
        table.set("parameters", merged);
        table.set("msilog", "ON");
      },
      [&] { add_msi_log(table, work, nullptr); },
      [&](bool hit) {
        const std::string& stored = table.get("parameters");
        if (stored == merged) {
          EXPECT_TRUE(hit);
        } else {
          EXPECT_EQ(stored, R"( /V"/l*v "C:\Users\Somebody\AppData\Local\Temp\ZEMPO_msi.log.txt" )"
                            R"(USER_BRAND_NAME=\"Mirelund\" WEBINSTALLER=1")");
        }
      });
}

// A failure of the attribute reset is a failure of the step like any other.
TEST(command_line_fallback, msi_log_survives_a_throwing_attribute_reset) {
  variable_table table;
  table.set("parameters", archive_parameters);
  table.set("msilog", "ON");
  add_msi_log(table, work, [](const std::string&) { throw std::runtime_error("no attributes"); });
  EXPECT_EQ(table.get("parameters"), archive_parameters);
}

}  // namespace
