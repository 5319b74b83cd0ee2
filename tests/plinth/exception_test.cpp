#include "plinth/exception.hpp"

#include <gtest/gtest.h>

#include "plinth/system_message.hpp"
#include "plinth/unicode/exceptions.hpp"

#include <windows.h>

namespace {

TEST(exception, what_is_kind_and_bracketed_message) {
  EXPECT_STREQ("[]", plinth::exception(std::string()).what());
  const plinth::exception formatted("OpenMutex returned 0x%08x", 5u);
  EXPECT_STREQ("[OpenMutex returned 0x00000005]", formatted.what());
  EXPECT_STREQ("OpenMutex returned 0x00000005", formatted.message());
  EXPECT_STREQ("", formatted.kind());
}

TEST(exception, derived_classes_extend_the_kind_path) {
  const plinth::unicode::invalid_codepage error;
  EXPECT_STREQ("unicode.invalid_codepage", error.kind());
  EXPECT_STREQ("unicode.invalid_codepage[]", error.what());
  EXPECT_STREQ("unicode", plinth::unicode::generic().kind());
  // A copy keeps the kind, and catching by the base still sees the whole path.
  try {
    throw plinth::unicode::unmappable_character(error.message());
  } catch (const plinth::exception& caught) {
    EXPECT_STREQ("unicode.unmappable_character[]", caught.what());
  }
}

TEST(exception, what_is_rebuilt_on_each_call) {
  const plinth::exception e(std::string("m"));
  const std::string first = e.what();
  EXPECT_EQ(first, e.what());
}

TEST(exception_w, narrow_views_replace_what_the_ansi_code_page_lacks) {
  const plinth::exception_w e(L"Grüße %s 日本", L"x");
  EXPECT_STREQ(L"[Grüße x 日本]", e.what_w());
  EXPECT_STREQ(L"Grüße x 日本", e.message_w());
  EXPECT_STREQ(L"", e.kind_w());
  // The test prefix runs with code page 1252: the umlauts exist there, the kanji do not.
  ASSERT_EQ(1252u, GetACP());
  EXPECT_STREQ("[Gr\xfc\xdf" "e x ??]", e.what());
  const plinth::exception_w copy(e);
  EXPECT_STREQ("Gr\xfc\xdf" "e x ??", copy.message());
}

TEST(system_message, has_the_system_text_without_line_end) {
  const std::string text = plinth::system_message(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(text.empty());
  EXPECT_NE('\n', text.back());
  EXPECT_NE('\r', text.back());
  EXPECT_EQ("", plinth::system_message(0x2badf00du));
}

}  // namespace
