#include "config/configuration.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <shlobj.h>

#include "config/system_calls.hpp"
#include "plinth/dump_handler.hpp"
#include "plinth/exception.hpp"
#include "tests/config/replaced_calls.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_programs.hpp"

namespace {

// A module that holds only resources, loaded for the length of a test.
class resource_module {
 public:
  explicit resource_module(const char* build_path) : m_path(test_support::windows_path(build_path)) {
    m_handle = LoadLibraryA(m_path.c_str());
  }
  ~resource_module() {
    if (m_handle != nullptr) FreeLibrary(m_handle);
  }
  resource_module(const resource_module&) = delete;
  resource_module& operator=(const resource_module&) = delete;
  HINSTANCE handle() const { return m_handle; }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
  HINSTANCE m_handle = nullptr;
};

std::wstring system_folder(int id) {
  wchar_t buffer[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathW(nullptr, id, nullptr, 0, buffer)) ? std::wstring(buffer) : std::wstring();
}

std::wstring own_path() {
  wchar_t buffer[MAX_PATH] = {};
  return std::wstring(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH));
}

std::wstring wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The values after a failure: the names, and whether the paths stayed empty.
struct snapshot {
  std::wstring suite, product, directory, file, common, user;
};
snapshot values() {
  return {config::suite_name(),        config::product_name(),          config::module_directory(),
          config::module_file_name(),  config::common_data_directory(), config::user_data_directory()};
}

TEST(bootstrap, names_and_directories_of_the_program_itself) {
  config::bootstrap(GetModuleHandleW(nullptr));
  EXPECT_EQ(L"Mirelund", config::suite_name());
  EXPECT_EQ(L"Tovrelin", config::product_name());
  EXPECT_EQ(own_path(), config::module_directory() + config::module_file_name());
  EXPECT_EQ(L"config_bootstrap_test.exe", config::module_file_name());

  const std::wstring common = system_folder(CSIDL_COMMON_APPDATA) + L"\\";
  const std::wstring user = system_folder(CSIDL_APPDATA) + L"\\";
  ASSERT_NE(L"\\", common);
  ASSERT_NE(L"\\", user);
  EXPECT_EQ(common, config::common_data_directory());
  EXPECT_EQ(user, config::user_data_directory());
  EXPECT_EQ(common + L"Mirelund\\Tovrelin\\", config::common_product_directory());
  EXPECT_EQ(user + L"Mirelund\\Tovrelin\\", config::user_product_directory());
}

// The folders the system names for the data directories, or failure for an empty one.
std::wstring common_folder, user_folder;

HRESULT WINAPI scripted_folder(HWND, int id, HANDLE, DWORD, LPWSTR path) {
  const std::wstring& folder = id == CSIDL_COMMON_APPDATA ? common_folder : user_folder;
  if (folder.empty()) return E_FAIL;
  folder.copy(path, MAX_PATH - 1);
  path[std::min<size_t>(folder.size(), MAX_PATH - 1)] = L'\0';
  return S_OK;
}

TEST(bootstrap, with_a_module_creates_nothing_and_installs_no_dump_handler) {
  config_test::replaced_calls restore;
  test_support::temp_dir root("kestor-config");
  common_folder = wide(root.file("common"));
  user_folder = wide(root.file("user"));
  config::calls().folder_path = scripted_folder;

  config::bootstrap(GetModuleHandleW(nullptr));
  EXPECT_EQ(user_folder + L"\\Mirelund\\Tovrelin\\", config::user_product_directory());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(user_folder.c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(common_folder.c_str()));
  LPTOP_LEVEL_EXCEPTION_FILTER filter = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(filter);
  EXPECT_NE(&plinth::dump_filter, filter);
}

TEST(bootstrap, user_folder_falls_back_to_the_common_one) {
  config_test::replaced_calls restore;
  common_folder = L"C:\\ProgramData";
  user_folder.clear();
  config::calls().folder_path = scripted_folder;

  config::bootstrap(GetModuleHandleW(nullptr));
  EXPECT_EQ(L"C:\\ProgramData\\", config::user_data_directory());
  EXPECT_EQ(L"C:\\ProgramData\\Mirelund\\Tovrelin\\", config::user_product_directory());
  EXPECT_EQ(config::common_product_directory(), config::user_product_directory());
}

TEST(bootstrap, module_without_the_product_name) {
  resource_module module(KESTOR_NO_PRODUCT_MODULE);
  ASSERT_NE(nullptr, module.handle()) << module.path();
  try {
    config::bootstrap(module.handle());
    ADD_FAILURE() << "nothing thrown";
  } catch (const plinth::exception& e) {
    EXPECT_STREQ("[resource string 2002 is not found]", e.what());
  }
  // The suite name was loaded first; nothing after the failure is set.
  EXPECT_EQ(L"Mirelund", config::suite_name());
  EXPECT_EQ(L"", config::product_name());
  EXPECT_EQ(L"", config::module_file_name());
  EXPECT_EQ(L"", config::user_product_directory());
}

TEST(bootstrap, long_string_is_cut_to_259_characters) {
  resource_module module(KESTOR_LONG_STRING_MODULE);
  ASSERT_NE(nullptr, module.handle()) << module.path();
  std::wstring expected;
  for (int i = 0; i < 259; ++i) expected += i % 10 ? wchar_t(L'0' + i % 10) : wchar_t(L'a' + i / 10 % 26);
  EXPECT_EQ(expected, config::load_resource_string(module.handle(), 2001));

  config::bootstrap(module.handle());
  EXPECT_EQ(expected, config::suite_name());
  // A module other than the executable: its own file.
  EXPECT_EQ(wide(module.path()), config::module_directory() + config::module_file_name());
  EXPECT_EQ(L"config_long_string_module.dll", config::module_file_name());
}

// The module path the system reports, and the capacities it was asked with. Like Windows, a
// path that does not fit is cut, terminated and reported with the full capacity.
std::wstring module_file;
std::vector<DWORD> capacities;

DWORD WINAPI scripted_module_file_name(HMODULE, LPWSTR buffer, DWORD capacity) {
  capacities.push_back(capacity);
  if (module_file.empty()) return 0;
  if (module_file.size() >= capacity) {
    module_file.copy(buffer, capacity - 1);
    buffer[capacity - 1] = L'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return capacity;
  }
  module_file.copy(buffer, module_file.size());
  buffer[module_file.size()] = L'\0';
  return static_cast<DWORD>(module_file.size());
}

TEST(bootstrap, module_path_is_split_at_its_last_backslash_and_read_whole) {
  config_test::replaced_calls restore;
  config::calls().module_file_name = scripted_module_file_name;
  capacities.clear();
  const std::wstring deep = L"C:\\Users\\someone\\Downloads\\" + std::wstring(600, L'd') + L"\\";
  struct split {
    std::wstring path, directory, file;
  };
  for (const split& c : std::vector<split>{{L"C:\\setup.exe", L"C:\\", L"setup.exe"},
                                           {L"setup.exe", L"", L"setup.exe"},
                                           {L"C:\\a.b\\Kestor", L"C:\\a.b\\", L"Kestor"},
                                           {deep + L"Kestor.exe", deep, L"Kestor.exe"}}) {
    module_file = c.path;
    config::bootstrap(GetModuleHandleW(nullptr));
    EXPECT_EQ(c.directory, config::module_directory());
    EXPECT_EQ(c.file, config::module_file_name());
  }
  // The 638 characters of the deep path took three attempts.
  EXPECT_EQ((std::vector<DWORD>{260, 260, 260, 260, 520, 1040}), capacities);
}

TEST(bootstrap, failures_of_the_module_path_and_the_common_folder) {
  config_test::replaced_calls restore;
  config::calls().module_file_name = scripted_module_file_name;
  config::calls().folder_path = scripted_folder;
  module_file.clear();
  try {
    config::bootstrap(GetModuleHandleW(nullptr));
    ADD_FAILURE() << "nothing thrown";
  } catch (const plinth::exception_w& e) {
    EXPECT_STREQ(L"[Error. config::init. GetModuleFileName return 0.]", e.what_w());
    EXPECT_STREQ("[Error. config::init. GetModuleFileName return 0.]", e.what());
  }
  snapshot after = values();
  EXPECT_EQ(L"Mirelund", after.suite);
  EXPECT_EQ(L"Tovrelin", after.product);
  EXPECT_EQ(L"", after.directory + after.file + after.common + after.user);

  module_file = L"C:\\setup.exe";
  common_folder.clear();
  user_folder = L"C:\\Users\\someone\\AppData\\Roaming";
  try {
    config::bootstrap(GetModuleHandleW(nullptr));
    ADD_FAILURE() << "nothing thrown";
  } catch (const plinth::exception_w& e) {
    EXPECT_STREQ(L"[Error. config::init. Can not find CSIDL_COMMON_APPDATA.]", e.what_w());
  }
  after = values();
  EXPECT_EQ(L"setup.exe", after.file);
  EXPECT_EQ(L"", after.common + after.user);
}

}  // namespace
