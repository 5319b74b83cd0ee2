// Launching the payload: through the real shell with the test payload, and with a stand-in for
// the shell where a failure of the launch, the wait or the exit code has to be made.
#include "installer/launch_payload.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "plinth/log/listener.hpp"
#include "plinth/log/log.hpp"
#include "tests/support/message_box_watcher.hpp"
#include "tests/support/payload_report.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scoped_env_var.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_programs.hpp"

namespace {

using test_support::message_box;
using boxes = std::vector<message_box>;

const message_box spawn_box{"ShellExecuteEx failed", "Unable to spawn process", 0};
const message_box wait_box{"WaitForSingleObject failed", "Unable to wait for process", 0};
const message_box exit_code_box{"GetExitCodeProcess failed", "Unable to get process exit code", 0};

// Collects the texts of the log's lines; the log owns it once attached.
class capture : public plinth::log::listener {
 public:
  explicit capture(std::vector<std::string>& texts) : m_texts(texts) {}
  void write(int, const std::string&, const std::string& text) override { m_texts.push_back(text); }

 private:
  std::vector<std::string>& m_texts;
};

// Runs one launch with the watcher on and returns its result and the boxes it showed.
template <class Launch>
std::pair<int, boxes> watched(Launch launch) {
  test_support::message_box_watcher watcher;
  const int result = launch();
  EXPECT_TRUE(watcher.settle());
  return {result, watcher.boxes()};
}

class launch_payload_test : public ::testing::Test {
 protected:
  test_support::temp_dir m_start{"kestor-start"};
  const std::string m_report = m_start.file("report.txt");
  test_support::scoped_env_var m_report_variable{test_support::payload_report_variable, m_report};
};

TEST_F(launch_payload_test, passes_the_payloads_exit_code_on_unchanged) {
  const std::vector<std::pair<std::string, int>> codes = {
      {"0", 0}, {"300", 300}, {"-5", -5}, {"4294967295", -1}, {"1", 1}};
  for (const auto& [text, code] : codes) {
    test_support::scoped_env_var exit_code(test_support::payload_exit_variable, text);
    const auto [result, shown] = watched([&] {
      return launch_payload(test_support::payload_exe(), R"(/qn /V"A=1 B=2")", m_start.path(), false, false,
                            L"Tovrelin");
    });
    EXPECT_EQ(result, code) << text;
    EXPECT_EQ(shown, boxes{}) << text;
  }
}

TEST_F(launch_payload_test, payload_gets_its_parameters_and_starts_in_the_start_directory) {
  const std::string parameters = R"( /V"/l*v "C:\Temp\ZEMPO_msi.log.txt"  A=1 B=2")";
  ASSERT_EQ(launch_payload(test_support::payload_exe(), parameters, m_start.path(), true, false, L"Tovrelin"), 0);
  const test_support::payload_report report = test_support::read_payload_report(m_report);
  EXPECT_EQ(report.current_directory, m_start.path());
  const std::string& line = report.command_line;
  ASSERT_GE(line.size(), parameters.size());
  EXPECT_EQ(line.substr(line.size() - parameters.size()), parameters) << line;
}

// A temporary directory at a drive root makes the start directory "C:", which by itself names
// the drive's current directory: this process's work directory.
TEST_F(launch_payload_test, a_bare_drive_start_directory_is_its_root) {
  char saved[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof(saved), saved);
  ASSERT_TRUE(SetCurrentDirectoryA(m_start.path().c_str()));
  const int result = launch_payload(test_support::payload_exe(), "", "C:", true, false, L"Tovrelin");
  SetCurrentDirectoryA(saved);
  ASSERT_EQ(result, 0);
  EXPECT_EQ(test_support::read_payload_report(m_report).current_directory, "C:\\");
}

TEST_F(launch_payload_test, a_file_that_cannot_be_started_fails_with_its_box) {
  for (const bool silent : {false, true}) {
    const auto [result, shown] = watched([&] {
      return launch_payload(m_start.file("missing.exe"), "", m_start.path(), silent, false, L"Tovrelin");
    });
    EXPECT_EQ(result, 1);
    ASSERT_FALSE(silent && !shown.empty()) << "silent, yet a box: " << shown.front();
    if (!silent) {
      ASSERT_FALSE(shown.empty());
      EXPECT_EQ(shown.back(), spawn_box);
    }
  }
}

TEST_F(launch_payload_test, the_shell_gets_the_launch_record) {
  for (const bool silent : {false, true}) {
    SHELLEXECUTEINFOA seen = {};
    std::string file, parameters, directory;
    const auto [result, shown] = watched([&] {
      return launch_payload("C:\\Temp\\TVN1\\setup.exe", "/qn", "C:\\Temp", silent, false, L"Tovrelin",
                            [&](SHELLEXECUTEINFOA* info) {
                              seen = *info;
                              file = info->lpFile;
                              parameters = info->lpParameters;
                              directory = info->lpDirectory;
                              return FALSE;
                            });
    });
    EXPECT_EQ(seen.cbSize, sizeof(SHELLEXECUTEINFOA));
    // Silent runs also keep the shell's own error dialogs away.
    EXPECT_EQ(seen.fMask, silent ? ULONG(SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI) : ULONG(SEE_MASK_NOCLOSEPROCESS));
    EXPECT_EQ(seen.hwnd, nullptr);
    EXPECT_EQ(seen.lpVerb, nullptr);
    EXPECT_EQ(file, "C:\\Temp\\TVN1\\setup.exe");
    EXPECT_EQ(parameters, "/qn");
    EXPECT_EQ(directory, "C:\\Temp");
    EXPECT_EQ(seen.nShow, SW_SHOWNORMAL);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(shown, silent ? boxes{} : boxes{spawn_box});
  }
}

TEST_F(launch_payload_test, an_empty_file_is_never_handed_to_the_shell) {
  for (const bool silent : {false, true}) {
    int calls = 0;
    const auto [result, shown] = watched([&] {
      return launch_payload("", "/qn", m_start.path(), silent, false, L"Tovrelin", [&](SHELLEXECUTEINFOA*) {
        ++calls;
        return TRUE;
      });
    });
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(shown, silent ? boxes{} : boxes{spawn_box});
  }
}

// A process handle the shell hands back with too few rights, so that waiting or reading the
// exit code fails; launch_payload has to close it all the same.
class handle_with_rights {
 public:
  handle_with_rights(HANDLE process, DWORD rights) {
    DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &m_handle, rights, FALSE, 0);
  }
  HANDLE get() const { return m_handle; }
  bool closed() const {
    DWORD flags = 0;
    return !GetHandleInformation(m_handle, &flags);
  }

 private:
  HANDLE m_handle = nullptr;
};

TEST_F(launch_payload_test, a_failed_wait_or_exit_code_fails_with_its_box_and_closes_the_handle) {
  test_support::process ended = test_support::start_process(test_support::payload_exe(), "payload");
  ASSERT_EQ(ended.wait(), 0u);
  const std::vector<std::pair<DWORD, message_box>> cases = {
      {PROCESS_QUERY_LIMITED_INFORMATION, wait_box},  // no SYNCHRONIZE
      {SYNCHRONIZE, exit_code_box},                   // no query right
  };
  for (const auto& [rights, box] : cases) {
    for (const bool silent : {false, true}) {
      const handle_with_rights handle(ended.handle(), rights);
      ASSERT_NE(handle.get(), nullptr);
      const auto [result, shown] = watched([&] {
        return launch_payload("setup.exe", "", m_start.path(), silent, false, L"Tovrelin",
                              [&](SHELLEXECUTEINFOA* info) {
                                info->hProcess = handle.get();
                                return TRUE;
                              });
      });
      EXPECT_EQ(result, 1) << box;
      EXPECT_EQ(shown, silent ? boxes{} : boxes{box});
      EXPECT_TRUE(handle.closed()) << box;
    }
  }
}

TEST_F(launch_payload_test, logs_the_launch_only_when_the_log_is_ready) {
  for (const bool log_ready : {true, false}) {
    std::vector<std::string> texts;
    plinth::log::attach(new capture(texts));
    launch_payload("C:\\Temp\\TVN1\\setup.exe", R"(/V"A=1")", "C:\\Temp", true, log_ready, L"Tovrelin",
                   [](SHELLEXECUTEINFOA*) { return FALSE; });
    plinth::log::detach_all();
    const std::vector<std::string> expected =
        log_ready ? std::vector<std::string>{"", "Tovrelin", "File: C:\\Temp\\TVN1\\setup.exe",
                                             R"(Parameters: /V"A=1")", ""}
                  : std::vector<std::string>{};
    EXPECT_EQ(texts, expected);
  }
}

}  // namespace
