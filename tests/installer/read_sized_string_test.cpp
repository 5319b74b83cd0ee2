#include "installer/read_sized_string.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Behaves as GetTempPathA for a text that may change between calls.
struct fake_call {
  std::vector<std::string> texts;  // the text at each call; the last one stays
  std::vector<std::uint32_t> sizes;

  std::uint32_t operator()(std::uint32_t size, char* buffer) {
    const std::string& text = texts[std::min(sizes.size(), texts.size() - 1)];
    sizes.push_back(size);
    if (text.empty()) return 0;
    if (text.size() + 1 > size) return static_cast<std::uint32_t>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<std::uint32_t>(text.size());
  }
};

std::string read(fake_call& call) {
  return read_sized_string([&](std::uint32_t size, char* buffer) { return call(size, buffer); });
}

TEST(read_sized_string, reads_a_short_text_in_one_call) {
  fake_call call{{"C:\\Temp\\"}, {}};
  EXPECT_EQ(read(call), "C:\\Temp\\");
  EXPECT_EQ(call.sizes, std::vector<std::uint32_t>{260});
}

TEST(read_sized_string, reads_a_long_text_whole) {
  for (std::size_t length : {259u, 260u, 261u, 1000u}) {
    const std::string text = "C:\\" + std::string(length - 4, 'a') + "\\";
    fake_call call{{text}, {}};
    EXPECT_EQ(read(call), text) << length;
  }
}

TEST(read_sized_string, follows_a_text_that_grows_between_calls) {
  const std::string first = "C:\\" + std::string(300, 'a') + "\\";
  const std::string second = "C:\\" + std::string(600, 'b') + "\\";
  fake_call call{{first, second}, {}};
  EXPECT_EQ(read(call), second);
  EXPECT_EQ(call.sizes.size(), 3u);
}

TEST(read_sized_string, failure_gives_empty) {
  fake_call failing{{""}, {}};
  EXPECT_EQ(read(failing), "");

  // A text that never settles is not taken for a result.
  std::vector<std::string> growing;
  for (int i = 1; i <= 20; ++i) growing.push_back(std::string(260 * i, 'x'));
  fake_call restless{growing, {}};
  EXPECT_EQ(read(restless), "");
}

}  // namespace
