#include "plinth/format.hpp"

#include <gtest/gtest.h>

namespace {

TEST(sprintf_string, keeps_zero_bytes_that_the_format_writes) {
  const std::string text = plinth::sprintf_string("%c%c%c%c", 'a', 0, 'b', 0);
  EXPECT_EQ(std::string("a\0b\0", 4), text);
}

TEST(sprintf_string, grows_past_the_first_buffer) {
  // 1023 characters fit the first buffer with its terminator; 1024 and more need it doubled.
  for (std::size_t length : {0u, 1u, 1023u, 1024u, 1025u, 2047u, 2048u, 5000u, 100000u}) {
    const std::string filler(length, 'x');
    EXPECT_EQ(filler, plinth::sprintf_string("%s", filler.c_str())) << length;
  }
  EXPECT_EQ("0x0000002a and -7", plinth::sprintf_string("0x%08x and %i", 42u, -7));
}

TEST(sprintf_wstring, formats_wide_text_and_grows) {
#if defined(_WIN32)
  const wchar_t* format = L"%s=%i";  // %s takes a wide string in the Windows run-time library
#else
  const wchar_t* format = L"%ls=%i";
#endif
  const std::wstring name(3000, L'\u00fc');
  EXPECT_EQ(name + L"=5", plinth::sprintf_wstring(format, name.c_str(), 5));
}

}  // namespace
