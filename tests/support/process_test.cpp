#include "tests/support/process.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/file_io.hpp"
#include "tests/support/named_event.hpp"
#include "tests/support/payload_report.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_programs.hpp"

namespace test_support {
namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

TEST(run_process, returns_all_32_bits_of_the_exit_code) {
  struct case_t {
    const char* requested;
    DWORD expected;
  };
  const case_t cases[] = {
      {"0", 0},
      {"300", 300},
      {"259", 259},  // STILL_ACTIVE, a legal code once the process has ended
      {"3221225477", 0xC0000005u},
      {"-1073741819", 0xC0000005u},
      {"-1", 0xFFFFFFFFu},
      {"4294967295", 0xFFFFFFFFu},
      {"-2147483648", 0x80000000u},
  };
  for (const auto& c : cases) {
    process_options options;
    options.environment = {{payload_exit_variable, c.requested}};
    EXPECT_EQ(run_process(payload_exe(), quoted(payload_exe()), options), c.expected) << c.requested;
  }
}

TEST(run_process, passes_the_command_line_verbatim) {
  temp_dir dir;
  const std::string exe = payload_exe();
  const std::string lines[] = {
      exe,
      quoted(exe),
      quoted(exe) + "  a   \"b c\"\t \\\"d\\\\\" ",
      "not-the-program.exe /s /V\"X=1 Y=\\\"2\\\"\"",
      quoted("C:\\Program Files\\fake name.exe") + " \"\" last",
  };
  for (const auto& line : lines) {
    process_options options;
    options.environment = {{payload_report_variable, dir.file("report")}};
    ASSERT_EQ(run_process(exe, line, options), 0u) << line;
    EXPECT_EQ(read_payload_report(dir.file("report")).command_line, line);
  }
}

TEST(run_process, starts_in_the_given_directory_or_the_callers) {
  temp_dir dir;
  temp_dir work("kestor work dir");
  process_options options;
  options.environment = {{payload_report_variable, dir.file("report")}};
  options.working_directory = work.path();
  ASSERT_EQ(run_process(payload_exe(), quoted(payload_exe()), options), 0u);
  EXPECT_EQ(read_payload_report(dir.file("report")).current_directory, work.path());

  char own[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, own);
  options.working_directory.clear();
  ASSERT_EQ(run_process(payload_exe(), quoted(payload_exe()), options), 0u);
  EXPECT_EQ(read_payload_report(dir.file("report")).current_directory, own);
}

TEST(start_process, runs_alongside_the_test_until_killed) {
  temp_dir dir;
  named_event never_set;
  process_options options;
  options.environment = {{payload_report_variable, dir.file("report")},
                         {payload_wait_variable, never_set.name()}};
  process child = start_process(payload_exe(), quoted(payload_exe()), options);
  ASSERT_TRUE(wait_for_file(dir.file("report"), std::chrono::seconds(30)));
  EXPECT_TRUE(child.running());
  EXPECT_THROW(child.exit_code(), std::runtime_error);
  child.kill(77);
  EXPECT_FALSE(child.running());
  EXPECT_EQ(child.exit_code(), 77u);
}

TEST(run_process, reports_failures_by_exception) {
  // A child that outlives the time-out is killed.
  named_event never_set;
  process_options options;
  options.environment = {{payload_wait_variable, never_set.name()}};
  options.timeout = std::chrono::milliseconds(300);
  EXPECT_THROW(run_process(payload_exe(), quoted(payload_exe()), options), std::runtime_error);

  EXPECT_THROW(run_process("C:\\no such folder\\none.exe", "none.exe", {}), std::runtime_error);
}

}  // namespace
}  // namespace test_support
