// The work directory on the real file system (under Wine in the test trees).
#include "installer/work_directory.hpp"

#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "installer/work_directory_path.hpp"
#include "tests/support/file_io.hpp"
#include "tests/support/message_box_watcher.hpp"
#include "tests/support/scoped_env_var.hpp"
#include "tests/support/temp_dir.hpp"
#include "plinth/unique_handle.hpp"

namespace {

using test_support::file_exists;
using test_support::write_file;

bool is_directory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool is_empty_directory(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((path + "*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool empty = true;
  do {
    const std::string name = data.cFileName;
    empty &= name == "." || name == "..";
  } while (FindNextFileA(search, &data));
  FindClose(search);
  return empty;
}

std::string current_directory() {
  char buffer[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof(buffer), buffer);
  return buffer;
}

// Puts the test's current directory back, whatever a test moved it to.
class current_directory_restorer {
 public:
  current_directory_restorer() : m_saved(current_directory()) {}
  ~current_directory_restorer() { SetCurrentDirectoryA(m_saved.c_str()); }

 private:
  std::string m_saved;
};

// Makes the empty directory `link` a junction (mount point) to `target`; false where the file
// system cannot (Wine 8 answers ERROR_NOT_SUPPORTED).
bool make_junction(const std::string& link, const std::string& target) {
  struct mount_point_buffer {
    ULONG tag;
    USHORT data_length;
    USHORT reserved;
    USHORT substitute_offset;
    USHORT substitute_length;
    USHORT print_offset;
    USHORT print_length;
    WCHAR paths[512];
  };
  plinth::unique_handle directory(CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                                    nullptr));
  if (!directory) return false;
  const std::wstring substitute = L"\\??\\" + std::wstring(target.begin(), target.end());
  const std::wstring print(target.begin(), target.end());
  mount_point_buffer buffer = {};
  buffer.tag = IO_REPARSE_TAG_MOUNT_POINT;
  buffer.substitute_length = static_cast<USHORT>(substitute.size() * sizeof(WCHAR));
  buffer.print_offset = static_cast<USHORT>(buffer.substitute_length + sizeof(WCHAR));
  buffer.print_length = static_cast<USHORT>(print.size() * sizeof(WCHAR));
  std::memcpy(buffer.paths, substitute.c_str(), buffer.substitute_length);
  std::memcpy(reinterpret_cast<char*>(buffer.paths) + buffer.print_offset, print.c_str(), buffer.print_length);
  buffer.data_length = static_cast<USHORT>(8 + buffer.print_offset + buffer.print_length + sizeof(WCHAR));
  DWORD returned = 0;
  return DeviceIoControl(directory.get(), FSCTL_SET_REPARSE_POINT, &buffer, 8 + buffer.data_length, nullptr, 0,
                         &returned, nullptr) != 0;
}

bool is_link(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

class work_directory_test : public ::testing::Test {
 protected:
  test_support::temp_dir m_temp{"kestor-work"};
  // The temporary directory as the system reports it, with its trailing backslash.
  const std::string m_temp_path = m_temp.path() + "\\";
};

TEST_F(work_directory_test, temp_path_is_the_systems) {
  test_support::scoped_env_var tmp("TMP", m_temp.path());
  EXPECT_EQ(get_temp_path(), m_temp_path);
}

TEST_F(work_directory_test, is_named_after_the_time_and_made_empty) {
  const std::string work = make_work_directory_in(m_temp_path, 1765450000, true);
  EXPECT_EQ(work, m_temp_path + "TVN1765450000\\");
  EXPECT_TRUE(is_empty_directory(work));
}

TEST_F(work_directory_test, an_existing_directory_is_never_reused) {
  // One planted beforehand, one of a run started in the same second.
  CreateDirectoryA((m_temp_path + "TVN500").c_str(), nullptr);
  write_file(m_temp_path + "TVN500\\setup.exe", "planted");
  CreateDirectoryA((m_temp_path + "TVN501").c_str(), nullptr);

  const std::string work = make_work_directory_in(m_temp_path, 500, true);
  EXPECT_EQ(work, m_temp_path + "TVN502\\");
  EXPECT_TRUE(is_empty_directory(work));
  EXPECT_EQ(test_support::read_file(m_temp_path + "TVN500\\setup.exe"), "planted");
}

TEST_F(work_directory_test, numbers_go_on_past_2038) {
  const std::int32_t last = std::numeric_limits<std::int32_t>::max();
  CreateDirectoryA((m_temp_path + "TVN2147483647").c_str(), nullptr);
  EXPECT_EQ(make_work_directory_in(m_temp_path, last, true), m_temp_path + "TVN-2147483648\\");
}

TEST_F(work_directory_test, gives_up_when_no_new_directory_can_be_made) {
  for (const char* name : {"TVN7", "TVN8", "TVN9"}) CreateDirectoryA((m_temp_path + name).c_str(), nullptr);
  EXPECT_EQ(make_work_directory_in(m_temp_path, 7, true, 3), "");
  EXPECT_FALSE(file_exists(m_temp_path + "TVN10"));

  // A temporary "directory" that is a file: no name can work, so none is tried after the first.
  write_file(m_temp_path + "plain-file", "");
  EXPECT_EQ(make_work_directory_in(m_temp_path + "plain-file\\", 1, true), "");
}

TEST_F(work_directory_test, two_runs_in_the_same_second_get_two_directories) {
  test_support::scoped_env_var tmp("TMP", m_temp.path());
  const std::string first = make_work_directory(true);
  const std::string second = make_work_directory(true);
  EXPECT_EQ(first.compare(0, m_temp_path.size() + 3, m_temp_path + "TVN"), 0) << first;
  EXPECT_NE(first, second);
  EXPECT_TRUE(is_directory(first));
  EXPECT_TRUE(is_directory(second));
}

TEST_F(work_directory_test, without_a_temporary_directory_says_so_and_uses_c_temp) {
  const auto clean = [] {
    remove_tree("C:\\Temp\\TVN1765450000\\");
    remove_tree("C:\\Temp\\TVN1765450001\\");
  };
  clean();
  for (const bool silent : {false, true}) {
    test_support::message_box_watcher watcher;
    const std::string work = make_work_directory_in("", 1765450000, silent);
    ASSERT_TRUE(watcher.settle());
    EXPECT_EQ(work, std::string("C:\\Temp\\") + (silent ? "TVN1765450001\\" : "TVN1765450000\\"));
    EXPECT_TRUE(is_directory(work));
    const std::vector<test_support::message_box> expected =
        silent ? std::vector<test_support::message_box>{}
               : std::vector<test_support::message_box>{{"GetTempPath failed", "Unable to get Temporary Directory", 0}};
    EXPECT_EQ(watcher.boxes(), expected) << (silent ? "silent" : "not silent");
  }
  clean();
}

TEST_F(work_directory_test, leaving_moves_to_the_parent_and_removes_the_directory) {
  const current_directory_restorer restorer;
  const std::string work = make_work_directory_in(m_temp_path, 42, true);
  write_file(work + "payload.exe", "x");
  ASSERT_TRUE(SetCurrentDirectoryA(work.c_str()));

  leave_work_directory(work);
  EXPECT_EQ(current_directory(), m_temp.path());
  EXPECT_FALSE(file_exists(work));
  EXPECT_TRUE(is_directory(m_temp.path()));
}

// Right under a drive root the parent is "C:", which names the drive's current directory: the
// work directory itself. Leaving has to go to the root instead.
TEST_F(work_directory_test, leaving_a_directory_under_a_drive_root_goes_to_the_root) {
  const current_directory_restorer restorer;
  const std::string work = make_work_directory_in("C:\\", GetTickCount(), true);
  ASSERT_EQ(parent_directory(work), "C:");
  ASSERT_TRUE(SetCurrentDirectoryA(work.c_str()));

  leave_work_directory(work);
  EXPECT_EQ(current_directory(), "C:\\");
  EXPECT_FALSE(file_exists(work));
}

TEST_F(work_directory_test, remove_tree_deletes_what_it_can_and_keeps_the_rest) {
  const std::string root = m_temp_path + "tree";
  for (const char* dir : {"", "\\a", "\\a\\b", "\\a\\empty", "\\kept", "\\kept\\.svn"}) {
    ASSERT_TRUE(CreateDirectoryA((root + dir).c_str(), nullptr)) << dir;
  }
  for (const char* file : {"\\setup.exe", "\\.profile", "\\a\\b\\data.cab", "\\kept\\.svn\\entries"}) {
    write_file(root + file, "x");
  }
  write_file(root + "\\a\\read-only.txt", "x");
  SetFileAttributesA((root + "\\a\\read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY);

  EXPECT_FALSE(remove_tree(root + "/"));
  // The read-only file stays with the directories above it; the dot-directory is not entered.
  for (const char* left : {"", "\\a", "\\a\\read-only.txt", "\\kept", "\\kept\\.svn", "\\kept\\.svn\\entries"}) {
    EXPECT_TRUE(file_exists(root + left)) << left;
  }
  for (const char* gone : {"\\setup.exe", "\\.profile", "\\a\\b", "\\a\\empty"}) {
    EXPECT_FALSE(file_exists(root + gone)) << gone;
  }

  SetFileAttributesA((root + "\\a\\read-only.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(DeleteFileA((root + "\\kept\\.svn\\entries").c_str()));
  ASSERT_TRUE(RemoveDirectoryA((root + "\\kept\\.svn").c_str()));
  EXPECT_TRUE(remove_tree(root));
  EXPECT_FALSE(file_exists(root));
  EXPECT_FALSE(remove_tree(root));
}

// The walk itself is tested with links over a stand-in file system; this checks the Windows
// listing reports them, where the system under the test can make them.
TEST_F(work_directory_test, remove_tree_unlinks_linked_directories_without_entering_them) {
  const std::string target = m_temp_path + "precious";
  const std::string work = m_temp_path + "TVN1";
  ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
  write_file(target + "\\keep.txt", "x");
  ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((work + "\\junction").c_str(), nullptr));

  const bool junction = make_junction(work + "\\junction", target) && is_link(work + "\\junction");
  const bool symlink = CreateSymbolicLinkA((work + "\\symlink").c_str(), target.c_str(),
                                           SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
                       is_link(work + "\\symlink");
  if (!junction && !symlink) GTEST_SKIP() << "this file system makes neither junctions nor directory links";

  EXPECT_TRUE(remove_tree(work + "\\"));
  EXPECT_FALSE(file_exists(work));
  EXPECT_EQ(test_support::read_file(target + "\\keep.txt"), "x");
}

}  // namespace
