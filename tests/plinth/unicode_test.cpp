#include "plinth/unicode/convert.hpp"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using plinth::unicode::to_narrow;
using plinth::unicode::to_wide;

TEST(unicode, empty_input_needs_no_usable_code_page) {
  EXPECT_EQ(L"", to_wide("", 12345));
  EXPECT_EQ("", to_narrow(L"", 12345, true));
}

TEST(unicode, unknown_code_page_is_invalid_in_both_directions) {
  EXPECT_THROW(to_wide("abc", 12345), plinth::unicode::invalid_codepage);
  EXPECT_THROW(to_narrow(L"abc", 12345, false), plinth::unicode::invalid_codepage);
}

TEST(unicode, round_trips_through_utf8_and_the_ansi_code_page) {
  const std::wstring text = L"Grüße 日本";
  EXPECT_EQ("Gr\xc3\xbc\xc3\x9f" "e \xe6\x97\xa5\xe6\x9c\xac", to_narrow(text, CP_UTF8, true));
  EXPECT_EQ(text, to_wide(to_narrow(text, CP_UTF8, true), CP_UTF8));
  EXPECT_EQ(L"Grüße", to_wide("Gr\xfc\xdf" "e", CP_ACP));
}

TEST(unicode, strictness_decides_about_unmappable_characters) {
  EXPECT_THROW(to_narrow(L"a日b", CP_ACP, true), plinth::unicode::unmappable_character);
  EXPECT_EQ("a?b", to_narrow(L"a日b", CP_ACP, false));
  // UTF-8 uses no replacement indicator: an unpaired surrogate is never reported.
  EXPECT_NO_THROW(to_narrow(std::wstring(1, wchar_t(0xd800)), CP_UTF8, true));
  // Malformed UTF-8 is not rejected either, since the flag is not given for that code page.
  EXPECT_NO_THROW(to_wide("\xff\xfe", CP_UTF8));
}

TEST(unicode, double_byte_code_page_given_explicitly) {
  // "日本" in Shift-JIS (932).
  EXPECT_EQ(L"日本", to_wide("\x93\xfa\x96\x7b", 932));
  EXPECT_EQ("\x93\xfa\x96\x7b", to_narrow(L"日本", 932, true));
  // A lone lead byte is not valid in a double-byte code page.
  EXPECT_THROW(to_wide("\x93", 932), plinth::unicode::unmappable_character);
}

TEST(unicode, flag_rule_for_the_listed_code_pages) {
  for (unsigned cp : {42u, 50221u, 50222u, 50225u, 50227u, 50229u, 52936u, 54936u, 57002u, 57011u, 65000u,
                      65001u})
    EXPECT_FALSE(plinth::unicode::takes_conversion_flags(cp)) << cp;
  for (unsigned cp : {0u, 1u, 932u, 1252u, 50220u, 57001u, 57012u})
    EXPECT_TRUE(plinth::unicode::takes_conversion_flags(cp)) << cp;
}

}  // namespace
