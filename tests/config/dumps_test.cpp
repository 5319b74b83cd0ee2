#include <ctime>
#include <string>
#include <vector>

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>
#include <gtest/gtest.h>

#include "config/configuration.hpp"
#include "config/system_calls.hpp"
#include "plinth/dump_handler.hpp"
#include "tests/config/replaced_calls.hpp"
#include "tests/support/file_io.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_programs.hpp"

namespace {

std::wstring wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The names of the files in a folder.
std::vector<std::string> files(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : boost::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

bool is_directory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder that both application data folders are in these tests.
std::wstring data_folder;

HRESULT WINAPI given_folder(HWND, int, HANDLE, DWORD, LPWSTR path) {
  path[data_folder.copy(path, MAX_PATH - 1)] = L'\0';
  return S_OK;
}

int exit_registrations = 0;

int counted_at_exit(void (*function)()) {
  ++exit_registrations;
  return std::atexit(function);
}

// The handler and its exit registration are process-wide: this program bootstraps without a
// module only here.
TEST(dumps, null_module_creates_the_dumps_folder_and_registers_the_removal_once) {
  config_test::replaced_calls restore;
  test_support::temp_dir root("kestor-dumps");
  data_folder = wide(root.path());
  config::calls().folder_path = given_folder;
  config::calls().at_exit = counted_at_exit;

  config::bootstrap(nullptr);
  // The product folders above it did not exist either.
  EXPECT_TRUE(is_directory(root.file("Mirelund\\Tovrelin\\Dumps")));
  EXPECT_EQ(1, exit_registrations);
  LPTOP_LEVEL_EXCEPTION_FILTER filter = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(filter);
  EXPECT_EQ(&plinth::dump_filter, filter);

  config::bootstrap(nullptr);
  EXPECT_EQ(1, exit_registrations);
}

TEST(dumps, a_file_in_place_of_the_dumps_folder_is_an_error) {
  config_test::replaced_calls restore;
  test_support::temp_dir root("kestor-dumps");
  data_folder = wide(root.path());
  config::calls().folder_path = given_folder;
  boost::filesystem::create_directories(root.file("Mirelund\\Tovrelin"));
  test_support::write_file(root.file("Mirelund\\Tovrelin\\Dumps"), "not a folder");
  EXPECT_THROW(config::bootstrap(nullptr), boost::filesystem::filesystem_error);
}

// Wine hands an unhandled exception to its debugger, which would open a crash window and wait.
void no_crash_window_under_wine() {
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) return;
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineDbg", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  const DWORD off = 0;
  RegSetValueExW(key, L"ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof(off));
  RegCloseKey(key);
}

TEST(dumps, a_crash_leaves_a_dump_named_at_installation_and_goes_on_to_the_system) {
  no_crash_window_under_wine();
  test_support::temp_dir root("kestor-crash");
  const std::string child = test_support::windows_path(KESTOR_CRASH_CHILD_EXE);

  const long long before = _time64(nullptr);
  const DWORD code = test_support::run_process(child, "\"" + child + "\" \"" + root.path() + "\"");
  const long long after = _time64(nullptr);
  EXPECT_EQ(0xE0C0DE01u, code);

  const std::string dumps = root.file("Mirelund\\Tovrelin\\Dumps");
  const std::vector<std::string> found = files(dumps);
  ASSERT_EQ(1u, found.size());
  const std::string prefix = "config_crash_child.exe.";
  const std::string& name = found[0];
  ASSERT_EQ(0u, name.rfind(prefix, 0)) << name;
  const long long stamp = std::stoll(name.substr(prefix.size(), name.size() - prefix.size() - 4));
  // Installed before the child slept for one and a half seconds, crashed after.
  EXPECT_LE(before, stamp);
  EXPECT_GE(after - 1, stamp);
  EXPECT_EQ("MDMP", test_support::read_file(dumps + "\\" + name).substr(0, 4));
}

}  // namespace
