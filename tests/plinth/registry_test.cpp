#include "plinth/registry2/key.hpp"

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "plinth/registry2/system_calls.hpp"
#include "plinth/unicode/exceptions.hpp"
#include "tests/plinth/scratch_registry_key.hpp"

namespace {

using plinth::registry2::key;
using registry_test::scratch_registry_key;

const wchar_t* const scratch_path = L"SOFTWARE\\KestorTests\\registry2";

// The what() text of the exception E that f throws; a failure when it throws nothing or another.
template <typename E>
std::string thrown(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  } catch (const std::exception& e) {
    ADD_FAILURE() << "another exception: " << e.what();
    return std::string();
  }
  ADD_FAILURE() << "nothing thrown";
  return std::string();
}

class registry : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scratch.created()); }

  std::wstring read(const std::wstring& name) {
    key root(HKEY_LOCAL_MACHINE);
    return root.open(scratch.path()).get_string_w(name);
  }

  scratch_registry_key scratch{scratch_path};
};

// The exception classes keep their own branches: a caller catching value_error does not take a
// value of the wrong type or size for a missing one.
static_assert(std::is_base_of<plinth::registry2::generic, plinth::registry2::type_mismatch>::value, "");
static_assert(!std::is_base_of<plinth::registry2::value_error, plinth::registry2::type_mismatch>::value, "");
static_assert(!std::is_base_of<plinth::registry2::value_error, plinth::registry2::size_mismatch>::value, "");
static_assert(std::is_base_of<plinth::exception, plinth::registry2::generic>::value, "");

TEST_F(registry, string_sizes_and_terminators) {
  struct stored {
    const wchar_t* name;
    std::wstring data;
    DWORD extra_bytes;
    std::wstring expected;
  };
  const std::vector<stored> cases = {
      {L"with_nul", L"abcd", 2, L"abcd"},                                    // 10 bytes
      {L"without_nul", L"abcd", 0, L"abcd"},                                 // 8 bytes
      {L"two_nuls", std::wstring(L"abcd\0", 5), 2, std::wstring(L"abcd\0", 5)},  // 12 bytes: one stays
      {L"empty", L"", 0, L""},                                               // 0 bytes
      {L"only_nul", L"", 2, L""},                                            // 2 bytes
  };
  for (const stored& c : cases) {
    ASSERT_TRUE(scratch.set_text(c.name, REG_SZ, c.data, c.extra_bytes)) << c.name;
    EXPECT_EQ(c.expected, read(c.name)) << c.name;
  }
  // An odd byte count gives size / 2 characters: the last byte is dropped.
  const char odd[] = {'a', 0, 'b', 0, 'c', 0, 'd', 0, 'x'};
  ASSERT_TRUE(scratch.set(L"odd", REG_SZ, odd, sizeof(odd)));
  EXPECT_EQ(L"abcd", read(L"odd"));
}

TEST_F(registry, values_of_other_types_are_type_mismatches) {
  ASSERT_TRUE(scratch.set_dword(L"InstallerLanguage", 1031));
  EXPECT_EQ("registry2.type_mismatch[Type mismatch: value \"InstallerLanguage\" expected 1 found 4]",
            thrown<plinth::registry2::type_mismatch>([&] { read(L"InstallerLanguage"); }));
  ASSERT_TRUE(scratch.set(L"list", REG_MULTI_SZ, L"a\0b\0", 10));
  EXPECT_EQ("registry2.type_mismatch[Type mismatch: value \"list\" expected 1 found 7]",
            thrown<plinth::registry2::type_mismatch>([&] { read(L"list"); }));
}

TEST_F(registry, missing_value_and_missing_key) {
  EXPECT_EQ("registry2.value_error[Not found: value \"InstallerLanguage\"]",
            thrown<plinth::registry2::value_error>([&] { read(L"InstallerLanguage"); }));

  key root(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(
      "registry2.key_error[RegOpenKeyEx() failed: key "
      "\"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestor test: no such product\" (2)]",
      thrown<plinth::registry2::key_error>([&] {
        root.open(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestor test: no such product");
      }));

  // A name that the ANSI code page cannot show fails its conversion instead.
  EXPECT_THROW(read(L"\x65e5\x672c"), plinth::unicode::unmappable_character);
}

TEST_F(registry, expand_sz_is_expanded_and_sz_is_not) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"KESTOR_TEST_FOLDER", L"C:\\Kestor folder"));
  ASSERT_TRUE(scratch.set_text(L"expanding", REG_EXPAND_SZ, L"%KESTOR_TEST_FOLDER%\\setup.exe"));
  ASSERT_TRUE(scratch.set_text(L"plain", REG_SZ, L"%KESTOR_TEST_FOLDER%\\setup.exe"));
  EXPECT_EQ(L"C:\\Kestor folder\\setup.exe", read(L"expanding"));
  EXPECT_EQ(L"%KESTOR_TEST_FOLDER%\\setup.exe", read(L"plain"));

  key root(HKEY_LOCAL_MACHINE);
  EXPECT_EQ("C:\\Kestor folder\\setup.exe", root.open(scratch.path()).get_string(L"expanding"));
  SetEnvironmentVariableW(L"KESTOR_TEST_FOLDER", nullptr);
}

TEST_F(registry, expansion_must_fit_the_work_area) {
  // 32766 characters come back whole; 32768 and the terminator exceed the 32768 of the work area
  // and are an error, not a text cut short.
  const std::wstring half(16383, L'h');
  ASSERT_TRUE(SetEnvironmentVariableW(L"KESTOR_TEST_HALF", half.c_str()));
  ASSERT_TRUE(SetEnvironmentVariableW(L"KESTOR_TEST_HALF_AND_ONE", (half + L"h").c_str()));
  ASSERT_TRUE(scratch.set_text(L"fits", REG_EXPAND_SZ, L"%KESTOR_TEST_HALF%%KESTOR_TEST_HALF%"));
  ASSERT_TRUE(scratch.set_text(L"too_long", REG_EXPAND_SZ, L"%KESTOR_TEST_HALF_AND_ONE%%KESTOR_TEST_HALF_AND_ONE%"));
  const std::wstring fits = read(L"fits");
  EXPECT_EQ(32766u, fits.size());
  EXPECT_TRUE(fits == half + half) << "the expanded text differs";
  EXPECT_EQ("registry2.value_error[ExpandEnvironmentStrings() failed: value \"too_long\" (122)]",
            thrown<plinth::registry2::value_error>([&] { read(L"too_long"); }));
  SetEnvironmentVariableW(L"KESTOR_TEST_HALF", nullptr);
  SetEnvironmentVariableW(L"KESTOR_TEST_HALF_AND_ONE", nullptr);
}

TEST_F(registry, set_string_writes_the_text_and_one_nul) {
  key root(HKEY_LOCAL_MACHINE);
  key scratch_key = root.open(scratch.path());
  DWORD type = 0, bytes = 0;
  scratch_key.set_string(L"empty", L"");
  ASSERT_TRUE(scratch.query(L"empty", type, bytes));
  EXPECT_EQ(DWORD(REG_SZ), type);
  EXPECT_EQ(2u, bytes);

  scratch_key.set_string(L"text", L"1031");
  ASSERT_TRUE(scratch.query(L"text", type, bytes));
  EXPECT_EQ(10u, bytes);
  EXPECT_EQ("1031", scratch_key.get_string(L"text"));
}

// --- The system calls replaced, for what the test machine cannot provoke -----------------------

// Puts the library's table back when a test ends.
class replaced_calls {
 public:
  replaced_calls() : m_saved(plinth::registry2::calls()) {}
  ~replaced_calls() { plinth::registry2::calls() = m_saved; }

 private:
  plinth::registry2::system_calls m_saved;
};

// The access masks asked for, and the scripted results (0 forwards to the real call).
std::vector<REGSAM> open_requests;
std::vector<LONG> open_results;

LONG WINAPI scripted_open(HKEY parent, LPCWSTR path, DWORD options, REGSAM access, PHKEY result) {
  open_requests.push_back(access);
  const LONG scripted = open_results.size() >= open_requests.size() ? open_results[open_requests.size() - 1] : 0;
  if (scripted != 0) return scripted;
  return RegOpenKeyExW(parent, path, options, access, result);
}

class registry_replaced : public registry {
 protected:
  void SetUp() override {
    registry::SetUp();
    open_requests.clear();
    open_results.clear();
  }
  replaced_calls restore;
};

TEST_F(registry_replaced, refused_write_access_falls_back_to_read_access) {
  ASSERT_TRUE(scratch.set_text(L"InstallerLanguage", REG_SZ, L"1031"));
  key root(HKEY_LOCAL_MACHINE);
  plinth::registry2::calls().open_key = scripted_open;
  open_results = {ERROR_ACCESS_DENIED, 0};
  key product = root.open(scratch.path());
  EXPECT_EQ((std::vector<REGSAM>{0x2001F, 0x20019}), open_requests);
  EXPECT_EQ("1031", product.get_string(L"InstallerLanguage"));
  // The key really holds read rights only.
  EXPECT_EQ("registry2.value_error[RegSetValueEx() failed: value \"InstallerLanguage\" (5)]",
            thrown<plinth::registry2::value_error>([&] { product.set_string(L"InstallerLanguage", L"1033"); }));

  open_requests.clear();
  open_results = {ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED};
  EXPECT_EQ("registry2.key_error[RegOpenKeyEx() failed: handle -2147483646 (5)]",
            thrown<plinth::registry2::key_error>([] { key again(HKEY_LOCAL_MACHINE); }));
  EXPECT_EQ(2u, open_requests.size());
}

TEST_F(registry_replaced, other_open_errors_are_not_retried) {
  plinth::registry2::calls().open_key = scripted_open;
  open_results = {ERROR_INVALID_HANDLE};
  EXPECT_EQ("registry2.key_error[RegOpenKeyEx() failed: handle -2147483646 (6)]",
            thrown<plinth::registry2::key_error>([] { key root(HKEY_LOCAL_MACHINE); }));
  EXPECT_EQ((std::vector<REGSAM>{0x2001F}), open_requests);

  key root(HKEY_LOCAL_MACHINE);  // opened for real: the script has run out
  open_requests.clear();
  open_results = {ERROR_FILE_NOT_FOUND};
  EXPECT_EQ("registry2.key_error[RegOpenKeyEx() failed: key \"a\\b\" (2)]",
            thrown<plinth::registry2::key_error>([&] { root.open(L"a\\b"); }));
  EXPECT_EQ(1u, open_requests.size());
}

// The second query (with a buffer) answers with this status and byte count.
LONG second_query_status;
DWORD second_query_size;

LONG WINAPI changing_query(HKEY, LPCWSTR, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (data == nullptr) {
    *type = REG_SZ;
    *size = 8;
    return ERROR_SUCCESS;
  }
  *size = second_query_size;
  return second_query_status;
}

TEST_F(registry_replaced, sizes_are_compared_before_the_read_result) {
  key root(HKEY_LOCAL_MACHINE);
  key scratch_key = root.open(scratch.path());
  plinth::registry2::calls().query_value = changing_query;

  // A value grown between the two queries: ERROR_MORE_DATA with the larger size.
  second_query_status = ERROR_MORE_DATA;
  second_query_size = 12;
  EXPECT_EQ("registry2.size_mismatch[Size mismatch: value \"v\" expected 8 found 12]",
            thrown<plinth::registry2::size_mismatch>([&] { scratch_key.get_string_w(L"v"); }));

  second_query_status = ERROR_INVALID_HANDLE;
  second_query_size = 8;
  EXPECT_EQ("registry2.value_error[RegQueryValueEx() failed: value \"v\" (6)]",
            thrown<plinth::registry2::value_error>([&] { scratch_key.get_string_w(L"v"); }));
}

DWORD WINAPI failing_expansion(LPCWSTR, LPWSTR, DWORD) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return 0;
}

// Claims five characters and the terminator but delivers two.
DWORD WINAPI cut_expansion(LPCWSTR, LPWSTR destination, DWORD) {
  destination[0] = L'a';
  destination[1] = L'b';
  destination[2] = L'\0';
  return 6;
}

TEST_F(registry_replaced, failed_or_cut_expansion_is_a_value_error) {
  ASSERT_TRUE(scratch.set_text(L"expanding", REG_EXPAND_SZ, L"%TEMP%"));
  plinth::registry2::calls().expand_strings = failing_expansion;
  EXPECT_EQ("registry2.value_error[ExpandEnvironmentStrings() failed: value \"expanding\" (8)]",
            thrown<plinth::registry2::value_error>([&] { read(L"expanding"); }));
  plinth::registry2::calls().expand_strings = cut_expansion;
  EXPECT_EQ("registry2.value_error[ExpandEnvironmentStrings() failed: value \"expanding\" (122)]",
            thrown<plinth::registry2::value_error>([&] { read(L"expanding"); }));
}

}  // namespace
