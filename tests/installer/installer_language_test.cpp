#include "installer/installer_language.hpp"

#include <string>

#include <gtest/gtest.h>

#include <windows.h>

#include "tests/plinth/scratch_registry_key.hpp"

namespace {

const wchar_t* const product = L"Kestor test product";
const std::string parameters = "/s /V\"/l*v \"C:\\Temp\\ZEMPO_msi.log.txt\"  A=1\"";

class installer_language : public ::testing::Test {
 protected:
  registry_test::scratch_registry_key uninstall{
      std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + product};
};

TEST_F(installer_language, recorded_language_goes_in_front) {
  ASSERT_TRUE(uninstall.set_text(L"InstallerLanguage", REG_SZ, L"1031"));
  EXPECT_EQ("/L1031 " + parameters, add_language(parameters, product));
  // The user's own /L wins.
  EXPECT_EQ("/L1033 /s", add_language("/L1033 /s", product));
}

TEST_F(installer_language, every_failure_leaves_the_parameters_as_they_are) {
  ASSERT_TRUE(uninstall.created());
  // No value at all, an empty one, a number, a text the ANSI code page cannot hold.
  EXPECT_EQ(parameters, add_language(parameters, product));
  ASSERT_TRUE(uninstall.set_text(L"InstallerLanguage", REG_SZ, L""));
  EXPECT_EQ(parameters, add_language(parameters, product));
  ASSERT_TRUE(uninstall.set_dword(L"InstallerLanguage", 1031));
  EXPECT_EQ(parameters, add_language(parameters, product));
  ASSERT_TRUE(uninstall.set_text(L"InstallerLanguage", REG_SZ, L"\x65e5\x672c"));
  EXPECT_EQ(parameters, add_language(parameters, product));
  // No uninstall key for the product.
  EXPECT_EQ(parameters, add_language(parameters, L"Kestor test: no such product"));
}

TEST_F(installer_language, expanding_value_is_expanded_once) {
  // The registry library expands the value; what the variable holds is not expanded again.
  ASSERT_TRUE(SetEnvironmentVariableW(L"KESTOR_TEST_LANGUAGE", L"1031%KESTOR_TEST_MORE%"));
  ASSERT_TRUE(SetEnvironmentVariableW(L"KESTOR_TEST_MORE", L"9"));
  ASSERT_TRUE(uninstall.set_text(L"InstallerLanguage", REG_EXPAND_SZ, L"%KESTOR_TEST_LANGUAGE%"));
  EXPECT_EQ("/L1031%KESTOR_TEST_MORE% /s", add_language("/s", product));
  SetEnvironmentVariableW(L"KESTOR_TEST_LANGUAGE", nullptr);
  SetEnvironmentVariableW(L"KESTOR_TEST_MORE", nullptr);
}

}  // namespace
