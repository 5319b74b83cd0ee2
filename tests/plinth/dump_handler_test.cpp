#include "plinth/dump_handler.hpp"

#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/file_io.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

// The files of a folder matching a pattern.
std::vector<std::string> files(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// The filter that was in place before installation.
int earlier_filter_calls = 0;
EXCEPTION_POINTERS* earlier_filter_argument = nullptr;

LONG WINAPI earlier_filter(EXCEPTION_POINTERS* info) {
  ++earlier_filter_calls;
  earlier_filter_argument = info;
  return EXCEPTION_EXECUTE_HANDLER;
}

// The handler's state is process-wide and fixed by the first installation, so one test walks
// through its whole life. The crash of a real process is tested with the configuration. (Wine's
// MiniDumpWriteDump takes several seconds, so the filter runs once.)
TEST(dump_handler, names_the_dump_at_installation_and_passes_the_crash_on) {
  test_support::temp_dir folder("kestor-dumps");
  SetUnhandledExceptionFilter(earlier_filter);

  const long long before = _time64(nullptr);
  ASSERT_TRUE(plinth::install_dump_handler(folder.file("program.exe")));
  const long long after = _time64(nullptr);
  // Later calls keep the first name.
  Sleep(1100);
  EXPECT_TRUE(plinth::install_dump_handler(folder.file("other.exe")));

  EXCEPTION_RECORD record = {};
  record.ExceptionCode = 0xE0001234;
  CONTEXT context;
  RtlCaptureContext(&context);
  EXCEPTION_POINTERS pointers = {&record, &context};
  EXPECT_EQ(EXCEPTION_EXECUTE_HANDLER, plinth::dump_filter(&pointers));
  EXPECT_EQ(1, earlier_filter_calls);
  EXPECT_EQ(&pointers, earlier_filter_argument);

  const std::vector<std::string> dumps = files(folder.path(), "*.dmp");
  ASSERT_EQ(1u, dumps.size());
  const std::string& name = dumps[0];
  ASSERT_EQ(0u, name.rfind("program.exe.", 0)) << name;
  const long long stamp = std::stoll(name.substr(12, name.size() - 12 - 4));
  EXPECT_LE(before, stamp);
  EXPECT_GE(after, stamp);
  EXPECT_EQ(".dmp", name.substr(name.size() - 4));
  EXPECT_EQ("MDMP", test_support::read_file(folder.file(name)).substr(0, 4));

  // The earlier filter is in place again afterwards.
  plinth::uninstall_dump_handler();
  EXPECT_EQ(&earlier_filter, SetUnhandledExceptionFilter(nullptr));
}

}  // namespace
