#include "installer/work_directory_path.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(work_directory_path, name_carries_the_low_32_bits_of_the_time_signed) {
  const std::vector<std::pair<std::int64_t, std::string>> cases = {
      {0, "TVN0\\"},
      {1765450000, "TVN1765450000\\"},
      {2147483647, "TVN2147483647\\"},
      // 2038-01-19 03:14:08 UTC and after.
      {2147483648LL, "TVN-2147483648\\"},
      {4294967295LL, "TVN-1\\"},
      {4294967296LL + 123, "TVN123\\"},
  };
  for (const auto& [seconds, name] : cases) {
    EXPECT_EQ(work_directory_name(work_directory_number(seconds)), name) << seconds;
  }
}

TEST(work_directory_path, next_number_wraps_like_the_time) {
  EXPECT_EQ(next_work_directory_number(41), 42);
  EXPECT_EQ(next_work_directory_number(-1), 0);
  EXPECT_EQ(next_work_directory_number(std::numeric_limits<std::int32_t>::max()),
            std::numeric_limits<std::int32_t>::min());
}

TEST(work_directory_path, parent_is_cut_before_the_last_inner_backslash) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {R"(C:\Temp\TVN123\)", R"(C:\Temp)"},
      {R"(C:\Users\Me\AppData\Local\Temp\TVN-5\)", R"(C:\Users\Me\AppData\Local\Temp)"},
      {R"(C:\TVN1\)", "C:"},
      {R"(\\server\share\TVN1\)", R"(\\server\share)"},
      {"TVN1\\", ""},
      {"\\", ""},
      {"", ""},
  };
  for (const auto& [work, parent] : cases) EXPECT_EQ(parent_directory(work), parent) << work;
}

TEST(work_directory_path, a_bare_drive_becomes_its_root) {
  EXPECT_EQ(directory_argument("C:"), "C:\\");
  EXPECT_EQ(directory_argument("z:"), "z:\\");
  for (const std::string same : {"C:\\Temp", "C:\\", "", "\\\\server\\share", "Temp"}) {
    EXPECT_EQ(directory_argument(same), same);
  }
}

}  // namespace
