#include "installer/installer_language.hpp"

#include <gtest/gtest.h>

namespace {

TEST(language_switch, goes_in_front_unless_a_capital_l_switch_is_there) {
  struct example {
    const char* parameters;
    const char* language;
    const char* expected;
  };
  const example examples[] = {
      // The MSI log option's lower-case /l is no language switch.
      {"/s /V\"/l*v \"C:\\Temp\\ZEMPO_msi.log.txt\"  A=1 B=2\"", "1031",
       "/L1031 /s /V\"/l*v \"C:\\Temp\\ZEMPO_msi.log.txt\"  A=1 B=2\""},
      {"/L1033 /s /V\" A=1\"", "1031", "/L1033 /s /V\" A=1\""},
      {" /V\" A=1\"", "", " /V\" A=1\""},
      // A /L anywhere counts: inside the /V text, inside a path.
      {" /V\" A=1 /Lx\"", "1031", " /V\" A=1 /Lx\""},
      {" /V\" TARGETDIR=C:\\Apps/Lib\"", "1031", " /V\" TARGETDIR=C:\\Apps/Lib\""},
      {"", "1031", "/L1031 "},
      // The text is used as read.
      {"/s", "10 31", "/L10 31 /s"},
  };
  for (const example& e : examples)
    EXPECT_EQ(e.expected, put_language_first(e.parameters, e.language)) << e.parameters << " / " << e.language;
}

}  // namespace
