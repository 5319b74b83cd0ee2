// What the user sees of a failed extraction through the stub's own entry: a message box on
// Windows (caption, and "File: " path "\rError: " the system's text), standard error natively;
// nothing when silent, with the same answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/extract_archive.hpp"
#include "archive/variable_table.hpp"
#include "tests/archive/file_error_codes.hpp"
#include "tests/archive/package_builder.hpp"
#include "tests/archive/sample_package.hpp"
#include "tests/archive/scratch_directory.hpp"

#ifdef _WIN32
#include "tests/support/message_box_watcher.hpp"
#endif

namespace {

struct shown {
  std::string caption;
  std::string text;
};

struct run_result {
  bool answer;
  std::vector<shown> messages;
};

// Runs the extraction as the driver calls it and collects what it showed.
run_result run(const std::string& archive, const std::string& destination, bool silent) {
  variable_table table;
  run_result result;
#ifdef _WIN32
  test_support::message_box_watcher watcher;
  result.answer = extract_archive(archive, destination, silent, table);
  EXPECT_TRUE(watcher.settle());
  for (const auto& box : watcher.boxes()) result.messages.push_back({box.caption, box.text});
#else
  testing::internal::CaptureStderr();
  result.answer = extract_archive(archive, destination, silent, table);
  const std::string out = testing::internal::GetCapturedStderr();
  // The caption on one line, the text (which holds a carriage return) on the next.
  if (!out.empty()) {
    const std::size_t first = out.find('\n');
    EXPECT_EQ(out.back(), '\n');
    result.messages.push_back({out.substr(0, first), out.substr(first + 1, out.size() - first - 2)});
  }
#endif
  return result;
}

void expect_message(const run_result& r, const std::string& caption, const std::string& text_start,
                    bool whole_text = true) {
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].caption, caption);
  if (whole_text)
    EXPECT_EQ(r.messages[0].text, text_start);
  else
    EXPECT_EQ(r.messages[0].text.substr(0, text_start.size()), text_start);
}

TEST(extract_archive_messages, the_sample_package_shows_nothing) {
  scratch_directory work;
  write_bytes(work.file("package.exe"), sample_package::make().bytes);
  std::filesystem::create_directory(work.path() / "out");
  const run_result r = run(work.file("package.exe"), scratch_directory::with_separator(work.path() / "out"), false);
  EXPECT_TRUE(r.answer);
  EXPECT_TRUE(r.messages.empty());
  EXPECT_EQ(directory_files(work.path() / "out").count("ZEMPOSetup.exe"), 1u);
}

TEST(extract_archive_messages, each_failure_and_silence) {
  scratch_directory work;
  const std::string absent = work.file("absent.exe");
  const std::string no_marker = work.file("other.exe");
  write_bytes(no_marker, sample_package::filler(70000, 4));
  const std::string package = work.file("package.exe");
  write_bytes(package, package_builder().stub(sample_package::stub_image()).file("k", "p.exe", "data").tail().bytes());
  const std::string missing = scratch_directory::with_separator(work.path() / "missing");
  const std::string destination = work.destination();

  for (bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "silent" : "not silent");
    const run_result open_failed = run(absent, destination, silent);
    const run_result no_archive = run(no_marker, destination, silent);
    const run_result extract_failed = run(package, missing, silent);
    EXPECT_FALSE(open_failed.answer);
    EXPECT_FALSE(no_archive.answer);
    EXPECT_FALSE(extract_failed.answer);
    if (silent) {
      EXPECT_TRUE(open_failed.messages.empty());
      EXPECT_TRUE(no_archive.messages.empty());
      EXPECT_TRUE(extract_failed.messages.empty());
      continue;
    }
    expect_message(open_failed, "Failed to open archive!",
                   "File: " + absent + "\rError: " + os_error_text(file_not_found));
    // The error part is whatever the thread's last error was.
    expect_message(no_archive, "Failed to initialize archive!", "File: " + no_marker + "\rError: ", false);
    expect_message(extract_failed, "Failed to extract file!",
                   "File: " + missing + "p.exe\rError: " + os_error_text(path_not_found));
  }
}

}  // namespace
