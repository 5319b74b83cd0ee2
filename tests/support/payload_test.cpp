#include "tests/support/payload_report.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/file_io.hpp"
#include "tests/support/named_event.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_programs.hpp"

namespace test_support {
namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

TEST(payload, waits_until_released) {
  temp_dir dir;
  named_event release;
  process_options options;
  options.environment = {{payload_report_variable, dir.file("report")},
                         {payload_wait_variable, release.name()},
                         {payload_exit_variable, "300"}};
  process child = start_process(payload_exe(), quoted(payload_exe()) + " x", options);
  // The report appears complete, before the wait.
  ASSERT_TRUE(wait_for_file(dir.file("report"), std::chrono::seconds(30)));
  EXPECT_EQ(read_payload_report(dir.file("report")).command_line, quoted(payload_exe()) + " x");
  EXPECT_FALSE(child.wait(std::chrono::milliseconds(500)));
  release.set();
  ASSERT_TRUE(child.wait(std::chrono::seconds(30)));
  EXPECT_EQ(child.exit_code(), 300u);
}

TEST(payload, reports_its_own_failures_in_the_exit_code) {
  temp_dir dir;
  struct case_t {
    std::string exit_text;
    std::string report;
    DWORD expected;
  };
  const case_t cases[] = {
      {"12abc", "", payload_exit_invalid},
      {"4294967296", "", payload_exit_invalid},
      {"-2147483649", "", payload_exit_invalid},
      {"", "", payload_exit_invalid},
      {"5", dir.file("missing folder\\report"), payload_report_failed},
  };
  for (const auto& c : cases) {
    process_options options;
    options.environment = {{payload_exit_variable, c.exit_text}};
    if (!c.report.empty()) {
      options.environment.emplace_back(payload_report_variable, c.report);
    }
    EXPECT_EQ(run_process(payload_exe(), quoted(payload_exe()), options), c.expected) << c.exit_text;
  }
}

TEST(payload_report, round_trips_any_bytes) {
  const payload_report reports[] = {
      {"", ""},
      {"a\nb\r\ncurrent_directory 3\n", "C:\\x\ny"},
      {std::string("nul\0inside", 10), "Z:\\"},
  };
  for (const auto& report : reports) {
    payload_report back = parse_payload_report(format_payload_report(report));
    EXPECT_EQ(back.command_line, report.command_line);
    EXPECT_EQ(back.current_directory, report.current_directory);
  }
}

TEST(payload_report, rejects_malformed_reports) {
  const std::string bad[] = {
      "",
      "command_line 3\nabc\n",                                   // a field missing
      "command_line 4\nabc\ncurrent_directory 0\n\n",            // length beyond the value
      "command_line 2\nabc\ncurrent_directory 0\n\n",            // value longer than its length
      "command_line x\nabc\ncurrent_directory 0\n\n",            // length not a number
      "command_line 3\nabc\ncurrent_directory 0\n\nextra",       // trailing bytes
      "current_directory 0\n\ncommand_line 0\n\n",               // fields swapped
      "command_line 99999999999999999999\n",                     // absurd length
  };
  for (const auto& text : bad) {
    EXPECT_THROW(parse_payload_report(text), std::runtime_error) << text;
  }
}

}  // namespace
}  // namespace test_support
