// Packages made by kestor-pack from the real Kestor.exe and the test payload, started the way a
// user starts them: an exact command line, a temporary directory of their own (TMP and TEMP),
// and then the exit code, the message boxes, what is left in the temporary directory, the log and
// what the payload recorded about its start.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/file_io.hpp"
#include "tests/support/message_box_watcher.hpp"
#include "tests/support/named_event.hpp"
#include "tests/support/payload_report.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_programs.hpp"

namespace {

using namespace test_support;
using std::chrono::milliseconds;
using std::chrono::seconds;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char payload_name[] = "ZEMPOSetup.exe";

const message_box already_running{
    "Already Running",
    "Another installation is already running or in the process of starting up.\nPlease wait until "
    "the other installation has completed before trying again."};
const message_box invalid_archive{
    "Invalid Archive!",
    "We are sorry, but your installation / update did not complete due to unexpected download "
    "errors.\r\nPlease download full version of the program"};
const message_box spawn_failed{"ShellExecuteEx failed", "Unable to spawn process"};
const message_box no_working_directory{"SetCurrentDirectory failed", "Unable to set Working Directory"};
const message_box no_product_name{"[resource string 2002 is not found]", "Unhandled Exception"};

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// One argument for a program that splits its command line by the C run-time's rules: quoted,
// with quotes escaped and the backslashes in front of them doubled.
std::string argument(const std::string& text) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    out.append(backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

// The archive values of a package besides the payload file entry, in the order the packer gets
// them.
using archive_values = std::vector<std::pair<std::string, std::string>>;

const archive_values standard_values = {
    {"executable32", "%installer32%"}, {"parameters", "/V\"A=1 B=2\""}, {"msilog", "ON"}};

// Packages are made once per test program and shared by the tests that need the same one.
class packages {
 public:
  static packages& instance() {
    static packages the_packages;
    return the_packages;
  }

  // Kestor.exe (or another stub) with the payload as "installer32" and the given values.
  const std::string& get(const archive_values& values, const std::string& stub = stub_exe(),
                         const std::vector<std::string>& extra_options = {}) {
    std::string key = stub;
    for (const auto& [name, value] : values) key += "\n" + name + "=" + value;
    for (const auto& option : extra_options) key += "\n" + option;
    auto found = m_made.find(key);
    if (found != m_made.end()) return found->second;

    const std::string package = m_dir.file("package-" + std::to_string(m_made.size()) + ".exe");
    const std::string packer = windows_path(KESTOR_E2E_PACKER_EXE);
    std::string command = quoted(packer) + " create -o " + argument(package) + " --stub " + argument(stub) +
                          " --file installer32=" + argument(payload_exe()) + " --name " + payload_name;
    for (const auto& option : extra_options) command += " " + option;
    for (const auto& [name, value] : values) command += " --value " + argument(name + "=" + value);
    const DWORD code = run_process(packer, command);
    if (code != 0) throw std::runtime_error("kestor-pack failed (" + std::to_string(code) + "): " + command);
    return m_made.emplace(key, package).first->second;
  }

  const std::string& standard() { return get(standard_values); }

  static std::string stub_exe() { return windows_path(KESTOR_E2E_STUB_EXE); }

  std::string scratch(const std::string& name) const { return m_dir.file(name); }

 private:
  packages() : m_dir("e2e-packages") {}
  temp_dir m_dir;
  std::map<std::string, std::string> m_made;
};

// Entries of a directory whose names match the pattern ("TVN*").
std::vector<std::string> directory_entries(const std::string& directory, const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((directory + "\\" + pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

bool is_directory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct run_result {
  DWORD exit_code = 0;
  std::vector<message_box> boxes;
  std::vector<std::string> work_directories;  // TVN* left in the temporary directory
  std::optional<payload_report> report;
  // The payload's command line cut into the file part and the parameters after it.
  std::string payload_file;
  std::string payload_parameters;
};

// A user's machine for one test: its temporary directory, and runs of packages in it.
class installation : public ::testing::Test {
 protected:
  installation() : m_temp("e2e-temp") {}

  const std::string& temp() const { return m_temp.path(); }
  std::string log_path() const { return m_temp.file("Kestor.log.txt"); }
  std::string report_path() const { return m_temp.file("payload-report.txt"); }

  process_options options(const std::string& payload_exit = "0") const {
    process_options result;
    result.environment = {{"TMP", temp()},
                          {"TEMP", temp()},
                          {payload_report_variable, report_path()},
                          {payload_exit_variable, payload_exit}};
    return result;
  }

  static std::string command_line(const std::string& package, const std::string& arguments) {
    return arguments.empty() ? quoted(package) : quoted(package) + " " + arguments;
  }

  run_result run(const std::string& package, const std::string& arguments,
                 const process_options& run_options) const {
    DeleteFileA(report_path().c_str());
    message_box_watcher watcher;
    run_result result;
    result.exit_code = run_process(package, command_line(package, arguments), run_options);
    watcher.settle();
    result.boxes = watcher.boxes();
    result.work_directories = directory_entries(temp(), "TVN*");
    if (file_exists(report_path())) {
      result.report = read_payload_report(report_path());
      split_payload_command_line(result);
    }
    return result;
  }

  run_result run(const std::string& package, const std::string& arguments = "",
                 const std::string& payload_exit = "0") const {
    return run(package, arguments, options(payload_exit));
  }

  // The shell starts the payload as `"<file>" <parameters>`.
  static void split_payload_command_line(run_result& result) {
    const std::string& line = result.report->command_line;
    if (line.size() < 2 || line[0] != '"') return;
    const std::size_t close = line.find('"', 1);
    if (close == std::string::npos) return;
    result.payload_file = line.substr(1, close - 1);
    if (close + 1 < line.size() && line[close + 1] == ' ') result.payload_parameters = line.substr(close + 2);
  }

  // The work directory (with its trailing backslash) that the payload file lies in.
  std::string work_directory_of(const run_result& result) const {
    const std::string& file = result.payload_file;
    const std::size_t slash = file.rfind('\\');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
  }

  // The payload ran from a fresh TVN<n> directory of this temporary directory, in the temporary
  // directory, and nothing of the run is left but the log.
  void expect_payload_ran_normally(const run_result& result) const {
    ASSERT_TRUE(result.report.has_value());
    EXPECT_TRUE(std::regex_match(result.payload_file, std::regex(R"(.*\\TVN-?[0-9]+\\ZEMPOSetup\.exe)")))
        << result.report->command_line;
    EXPECT_EQ(work_directory_of(result).substr(0, temp().size() + 1), temp() + "\\");
    EXPECT_EQ(result.report->current_directory, temp());
    EXPECT_THAT(result.work_directories, IsEmpty());
  }

  std::string msi_log() const { return temp() + "\\ZEMPO_msi.log.txt"; }

  // A run whose payload has started and waits until `release` is set.
  process start_waiting_run(const std::string& package, const named_event& release) const {
    process_options run_options = options("0");
    run_options.environment.push_back({payload_wait_variable, release.name()});
    process started = start_process(package, command_line(package, ""), run_options);
    if (!wait_for_file(report_path(), seconds(60))) throw std::runtime_error("the waiting payload did not start");
    return started;
  }

  temp_dir m_temp;
};

TEST_F(installation, payload_exit_code_is_passed_on_unchanged_with_and_without_boxes) {
  struct code_case {
    const char* requested;
    DWORD expected;
  };
  const code_case codes[] = {{"0", 0}, {"300", 300}, {"-5", 0xFFFFFFFBu}};
  for (const auto& c : codes) {
    for (const std::string arguments : {"", "/s"}) {
      SCOPED_TRACE(std::string(c.requested) + " [" + arguments + "]");
      const run_result result = run(packages::instance().standard(), arguments, c.requested);
      EXPECT_EQ(result.exit_code, c.expected);
      EXPECT_THAT(result.boxes, IsEmpty());
      expect_payload_ran_normally(result);
    }
  }
}

TEST_F(installation, failed_runs_end_with_1_after_their_boxes_and_leave_no_work_directory) {
  packages& made = packages::instance();

  // One altered byte in the payload's content: the record fails its digest.
  const std::string& good = made.standard();
  std::string bytes = read_file(good);
  const std::string payload = read_file(payload_exe());
  const std::size_t at = bytes.find(payload);
  ASSERT_NE(at, std::string::npos);
  bytes[at + payload.size() / 2] ^= 0x01;
  const std::string corrupt = made.scratch("corrupt-payload.exe");
  write_file(corrupt, bytes);

  // Kestor.exe with nothing appended: no archive at all.
  const std::string bare = made.scratch("bare-stub.exe");
  write_file(bare, read_file(packages::stub_exe()));

  // A file entry that cannot be created (the name is not a valid file name), met before the
  // payload.
  const std::string unwritable =
      made.get(standard_values, packages::stub_exe(), {"--file =" + argument(payload_exe()), "--name", "\"a*b.exe\""});

  // An executable32 that names no extracted file.
  const std::string missing_payload = made.get({{"executable32", "missing.exe"}, {"parameters", "/V\"A=1\""}});

  struct case_t {
    const char* name;
    std::string package;
    std::vector<std::string> box_captions;  // in order; the texts are checked below
  };
  const case_t cases[] = {
      {"digest failure", corrupt, {"Invalid Archive!"}},
      {"bare stub", bare, {"Invalid Archive!"}},
      {"file cannot be created", unwritable, {"Failed to extract file!", "Invalid Archive!"}},
      {"payload missing", missing_payload, {"ShellExecuteEx failed"}},
  };
  for (const auto& c : cases) {
    for (const std::string arguments : {"", "/s"}) {
      SCOPED_TRACE(std::string(c.name) + " [" + arguments + "]");
      const run_result result = run(c.package, arguments);
      EXPECT_EQ(result.exit_code, 1u);
      EXPECT_FALSE(result.report.has_value()) << "the payload ran";
      EXPECT_THAT(result.work_directories, IsEmpty());
      if (arguments == "/s") {
        EXPECT_THAT(result.boxes, IsEmpty());
        continue;
      }
      std::vector<std::string> captions;
      for (const auto& box : result.boxes) captions.push_back(box.caption);
      // Without the silent switch the shell may report the missing file itself first (Wine's
      // box is captioned "Error"); the stub's own box follows.
      if (c.box_captions == std::vector<std::string>{spawn_failed.caption} && captions.size() == 2 &&
          captions[0] == "Error") {
        captions.erase(captions.begin());
      }
      EXPECT_EQ(captions, c.box_captions);
      for (const auto& box : result.boxes) {
        if (box.caption == invalid_archive.caption) {
          EXPECT_EQ(box, invalid_archive);
        } else if (box.caption == spawn_failed.caption) {
          EXPECT_EQ(box, spawn_failed);
        }
        if (box.caption == "Failed to extract file!") {
          EXPECT_TRUE(std::regex_match(box.text, std::regex(R"(File: .*\\TVN-?[0-9]+\\a\*b\.exe\rError: .+)")))
              << box;
          EXPECT_EQ(box.text.substr(0, 6 + temp().size() + 4), "File: " + temp() + "\\TVN");
        }
      }
    }
  }
}

TEST_F(installation, no_usable_temporary_directory_ends_with_1_after_set_current_directory_failed) {
  // A temporary directory two levels below a missing one: neither it nor the work directory can
  // be created.
  const std::string missing = temp() + "\\missing\\deeper";
  for (const std::string arguments : {"", "/s"}) {
    SCOPED_TRACE("[" + arguments + "]");
    process_options run_options = options();
    run_options.environment[0].second = missing;
    run_options.environment[1].second = missing;
    const run_result result = run(packages::instance().standard(), arguments, run_options);
    EXPECT_EQ(result.exit_code, 1u);
    EXPECT_FALSE(result.report.has_value());
    if (arguments.empty()) {
      EXPECT_THAT(result.boxes, ElementsAre(no_working_directory));
    } else {
      EXPECT_THAT(result.boxes, IsEmpty());
    }
    EXPECT_FALSE(is_directory(temp() + "\\missing"));
  }
}

TEST_F(installation, an_exception_from_the_configuration_shows_its_text_and_leaves_nothing_behind) {
  const std::string& package = packages::instance().get(standard_values, windows_path(KESTOR_E2E_NO_PRODUCT_STUB_EXE));
  for (const std::string arguments : {"", "/s"}) {
    SCOPED_TRACE("[" + arguments + "]");
    const run_result result = run(package, arguments);
    EXPECT_EQ(result.exit_code, 1u);
    EXPECT_FALSE(result.report.has_value());
    EXPECT_THAT(result.work_directories, IsEmpty());
    if (arguments.empty()) {
      EXPECT_THAT(result.boxes, ElementsAre(no_product_name));
    } else {
      EXPECT_THAT(result.boxes, IsEmpty());
    }
  }
  // The failed runs hold no mutex: the next one installs.
  const run_result after = run(packages::instance().standard(), "", "0");
  EXPECT_EQ(after.exit_code, 0u);
  expect_payload_ran_normally(after);
}

// The parameters the payload receives, for user command lines and archive values of the
// composition rules. L is the MSI log path beside the work directory.
TEST_F(installation, the_payload_receives_the_composed_parameters) {
  struct case_t {
    const char* user;
    archive_values values;
    const char* expected;  // "L" stands for the MSI log path
  };
  const archive_values a1b2_msilog = {
      {"executable32", "%installer32%"}, {"parameters", "/V\"A=1 B=2\""}, {"msilog", "ON"}};
  const archive_values a1 = {{"executable32", "%installer32%"}, {"parameters", "/V\"A=1\""}};
  const archive_values none = {{"executable32", "%installer32%"}};
  const archive_values unquoted = {{"executable32", "%installer32%"}, {"parameters", "-q /VA=1"}};
  const case_t cases[] = {
      {"", a1b2_msilog, " /V\"/l*v \"L\"  A=1 B=2\""},
      {"/s", a1b2_msilog, "/s /V\"/l*v \"L\"  A=1 B=2\""},
      {"/s /v\"X=1 Y=2\" /qn", a1b2_msilog, "/s  /qn /V\"/l*v \"L\" X=1 Y=2 A=1 B=2\""},
      {"/VX=1 /qn", a1, " /qn /V\"X=1 A=1\""},
      {"/VX=1", none, " /V\"X=1\""},
      {"/V\"X=1", a1, " /V\"X=1 A=1\""},
      {"/s", unquoted, "/s -q /V\"\"A=1"},
      {"/L1033 /s", a1, "/L1033 /s /V\" A=1\""},
      {"/x /verbose", a1, "/x  /V\"erbose A=1\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("user command line [") + c.user + "]");
    const run_result result = run(packages::instance().get(c.values), c.user, "7");
    EXPECT_EQ(result.exit_code, 7u);
    EXPECT_THAT(result.boxes, IsEmpty());
    expect_payload_ran_normally(result);
    std::string expected = c.expected;
    const std::size_t l = expected.find("\"L\"");
    if (l != std::string::npos) expected.replace(l + 1, 1, msi_log());
    EXPECT_EQ(result.payload_parameters, expected);
  }

  // A reference to the work directory, expanded to the directory the payload was started from.
  const run_result result =
      run(packages::instance().get({{"executable32", "%installer32%"}, {"parameters", "/V\"SRC=%source%\""}}));
  EXPECT_EQ(result.exit_code, 0u);
  expect_payload_ran_normally(result);
  const std::string work = work_directory_of(result);
  EXPECT_EQ(result.payload_parameters, " /V\" SRC=" + work.substr(0, work.size() - 1) + "\"");
}

// The log in the temporary directory gets the launch's five lines.
TEST_F(installation, the_log_holds_the_launch_lines_and_an_unwritable_log_stops_nothing) {
  const run_result result = run(packages::instance().standard(), "/qn", "0");
  EXPECT_EQ(result.exit_code, 0u);
  expect_payload_ran_normally(result);

  const std::string log = read_file(log_path());
  std::vector<std::string> texts;
  // Date and time, the level character of level 1 (a blank), two blanks, the text.
  const std::regex line("\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}    ([^\r\n]*)\r\n");
  // The file is UTF-8 and begins with its byte order mark.
  EXPECT_EQ(log.substr(0, 3), "\xEF\xBB\xBF");
  std::string rest = log.substr(log.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0);
  std::smatch match;
  while (std::regex_search(rest, match, line, std::regex_constants::match_continuous)) {
    texts.push_back(match[1]);
    rest = match.suffix();
  }
  EXPECT_THAT(rest, IsEmpty()) << "not in the line format: " << log;
  const std::string parameters = "/qn /V\"/l*v \"" + msi_log() + "\"  A=1 B=2\"";
  EXPECT_THAT(texts, ElementsAre("", "Tovrelin", "File: " + result.payload_file, "Parameters: " + parameters, ""));
  EXPECT_EQ(result.payload_parameters, parameters);

  // A directory in the log file's place: the run goes on without a log.
  DeleteFileA(log_path().c_str());
  ASSERT_TRUE(CreateDirectoryA(log_path().c_str(), nullptr));
  const run_result without_log = run(packages::instance().standard(), "", "300");
  EXPECT_EQ(without_log.exit_code, 300u);
  EXPECT_THAT(without_log.boxes, IsEmpty());
  expect_payload_ran_normally(without_log);
  EXPECT_TRUE(is_directory(log_path()));
}

// The language of an earlier installation, recorded in the product's uninstall key.
class registry_value {
 public:
  registry_value(const std::string& key, const std::string& name, const std::string& value) : m_name(name) {
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                        &disposition) != ERROR_SUCCESS) {
      throw std::runtime_error("RegCreateKeyExA failed for " + key);
    }
    m_created = disposition == REG_CREATED_NEW_KEY;
    m_path = key;
    RegSetValueExA(m_key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  ~registry_value() {
    RegDeleteValueA(m_key, m_name.c_str());
    RegCloseKey(m_key);
    if (m_created) RegDeleteKeyA(HKEY_LOCAL_MACHINE, m_path.c_str());
  }
  registry_value(const registry_value&) = delete;
  registry_value& operator=(const registry_value&) = delete;

 private:
  HKEY m_key = nullptr;
  std::string m_name;
  std::string m_path;
  bool m_created = false;
};

TEST_F(installation, the_recorded_installer_language_goes_in_front_unless_the_user_gives_one) {
  const registry_value language("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tovrelin",
                                "InstallerLanguage", "1031");
  const std::string& package = packages::instance().get({{"executable32", "%installer32%"}, {"parameters", "/V\"A=1\""}});
  const std::pair<const char*, const char*> cases[] = {
      {"", "/L1031  /V\" A=1\""},
      {"/L1033 /s", "/L1033 /s /V\" A=1\""},
  };
  for (const auto& [user, expected] : cases) {
    SCOPED_TRACE(std::string("[") + user + "]");
    const run_result result = run(package, user);
    EXPECT_EQ(result.exit_code, 0u);
    expect_payload_ran_normally(result);
    EXPECT_EQ(result.payload_parameters, expected);
  }
}

// A TVN<n> directory that exists before the run is never the work directory: what was planted
// there neither runs nor is deleted.
TEST_F(installation, an_existing_work_directory_name_is_never_used) {
  const std::int64_t now = _time64(nullptr);
  std::vector<std::string> planted;
  for (std::int64_t n = now - 1; n <= now + 10; ++n) {
    const std::string directory = temp() + "\\TVN" + std::to_string(static_cast<std::int32_t>(n));
    ASSERT_TRUE(CreateDirectoryA(directory.c_str(), nullptr));
    write_file(directory + "\\" + payload_name, "planted");
    planted.push_back(directory);
  }
  const run_result result = run(packages::instance().standard(), "", "5");
  EXPECT_EQ(result.exit_code, 5u);
  ASSERT_TRUE(result.report.has_value());
  const std::string work = work_directory_of(result);
  for (const auto& directory : planted) {
    EXPECT_NE(work, directory + "\\");
    EXPECT_EQ(read_file(directory + "\\" + payload_name), "planted");
  }
  EXPECT_EQ(result.report->current_directory, temp());
  EXPECT_FALSE(is_directory(work));
  EXPECT_EQ(result.work_directories.size(), planted.size());
}

// While one installation's payload runs, a second start of the package gives up at once.
TEST_F(installation, a_second_run_while_the_first_waits_ends_with_already_running) {
  const std::string& package = packages::instance().standard();
  named_event release;
  process first = start_waiting_run(package, release);
  const std::vector<std::string> first_directories = directory_entries(temp(), "TVN*");
  ASSERT_EQ(first_directories.size(), 1u);
  const std::string first_work = temp() + "\\" + first_directories[0];

  // The second run's payload would report elsewhere, so a report proves it ran.
  process_options second_options = options("0");
  second_options.environment[2].second = temp() + "\\second-report.txt";
  for (const std::string arguments : {"", "/s"}) {
    SCOPED_TRACE("[" + arguments + "]");
    const run_result second = run(package, arguments, second_options);
    EXPECT_EQ(second.exit_code, 1u);
    if (arguments.empty()) {
      EXPECT_THAT(second.boxes, ElementsAre(already_running));
    } else {
      EXPECT_THAT(second.boxes, IsEmpty());
    }
    EXPECT_FALSE(file_exists(temp() + "\\second-report.txt"));
    EXPECT_EQ(directory_entries(temp(), "TVN*"), first_directories);
    EXPECT_TRUE(file_exists(first_work + "\\" + payload_name));
  }

  release.set();
  ASSERT_TRUE(first.wait(seconds(60)));
  EXPECT_EQ(first.exit_code(), 0u);
  EXPECT_THAT(directory_entries(temp(), "TVN*"), IsEmpty());
}

// A stub killed while its payload runs leaves the mutex abandoned; the next run takes it.
TEST_F(installation, a_run_after_a_killed_installation_succeeds) {
  const std::string& package = packages::instance().standard();
  named_event release;
  process first = start_waiting_run(package, release);
  first.kill(9);

  const run_result next = run(package, "", "42");
  // The killed run's payload is still waiting, from the killed run's work directory.
  release.set();
  EXPECT_EQ(next.exit_code, 42u);
  EXPECT_THAT(next.boxes, IsEmpty());
  ASSERT_TRUE(next.report.has_value());
  EXPECT_EQ(next.report->current_directory, temp());
  EXPECT_FALSE(is_directory(work_directory_of(next)));
  // Let the orphaned payload end before the temporary directory goes.
  Sleep(500);
}

// Code signing appends a certificate table after the archive; the package still installs.
TEST_F(installation, signed_package_installs) {
  const std::string package = windows_path(KESTOR_E2E_SIGNED_PACKAGE);
  ASSERT_TRUE(file_exists(package)) << package;
  const run_result result = run(package, "", "300");
  EXPECT_EQ(result.exit_code, 300u);
  EXPECT_THAT(result.boxes, IsEmpty());
  expect_payload_ran_normally(result);
  EXPECT_EQ(result.payload_parameters, " /V\"/l*v \"" + msi_log() + "\"  USER_BRAND_NAME=\\\"Mirelund\\\" WEBINSTALLER=1\"");
}

}  // namespace
