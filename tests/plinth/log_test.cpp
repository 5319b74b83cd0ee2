#include <chrono>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>
#include <comdef.h>

#include "log_writer_payload.hpp"
#include "plinth/exception.hpp"
#include "plinth/format.hpp"
#include "plinth/log/file.hpp"
#include "plinth/log/generic.hpp"
#include "plinth/log/hub.hpp"
#include "plinth/log/listener.hpp"
#include "plinth/log/log.hpp"
#include "plinth/log/proxy.hpp"
#include "plinth/system_message.hpp"
#include "plinth/unicode/convert.hpp"
#include "plinth/unique_handle.hpp"
#include "tests/support/process.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_programs.hpp"

namespace {

const std::string mark = "\xef\xbb\xbf";

std::string utf8(const std::wstring& text) { return plinth::unicode::to_narrow(text, CP_UTF8, true); }

// A folder of its own for each test's logs, removed afterwards.
class scratch_folder {
 public:
  // A base name for a log in this folder.
  std::string base(const std::string& name = "Kestor") const { return m_folder.file(name); }

 private:
  test_support::temp_dir m_folder{"kestor-log"};
};

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The lines of a log file after its mark, without their CR LF.
std::vector<std::string> lines_after_mark(const std::string& content) {
  std::vector<std::string> lines;
  EXPECT_EQ(0u, content.rfind(mark, 0)) << "no mark at the start";
  std::string::size_type start = mark.size();
  for (std::string::size_type end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(content.substr(start, end - start));
  EXPECT_EQ(content.size(), start) << "unterminated last line";
  return lines;
}

// The stamp of a line: date and time, a space, the level character, two spaces.
const std::regex stamp_pattern(R"(^(\d{4})/(\d{2})/(\d{2}) (\d{2}):(\d{2}):(\d{2}) (.)  )");

// Line text after a stamp of the given level character; "<no stamp>" when the line has none.
std::string text_after_stamp(const std::string& line, char level) {
  std::smatch m;
  if (!std::regex_search(line, m, stamp_pattern) || m[7].str() != std::string(1, level)) return "<no stamp>";
  return line.substr(23);
}

// Keeps what a hub hands over, in order, in a journal shared by several listeners; fails its
// first `failures` lines.
class recording_listener : public plinth::log::listener {
 public:
  recording_listener(std::vector<std::string>& journal, std::string name, int failures = 0)
      : m_journal(journal), m_name(std::move(name)), m_failures(failures) {}
  ~recording_listener() override { m_journal.push_back("deleted " + m_name); }

  void write(int level, const std::string& stamp, const std::string& text) override {
    if (m_failures > 0) {
      --m_failures;
      throw std::runtime_error("listener failure");
    }
    EXPECT_EQ("", text_after_stamp(stamp, "# +!>@"[level])) << stamp;
    m_journal.push_back(plinth::sprintf_string("%s %d %s", m_name.c_str(), level, text.c_str()));
  }

 private:
  std::vector<std::string>& m_journal;
  std::string m_name;
  int m_failures;
};

TEST(log_file, lock_name_replaces_every_backslash) {
  EXPECT_EQ("log-C:_Temp_Kestor", plinth::log::lock_name_of("C:\\Temp\\Kestor"));
  EXPECT_EQ("log-a__b_", plinth::log::lock_name_of("a\\\\b\\"));
  EXPECT_EQ("log-plain", plinth::log::lock_name_of("plain"));
}

TEST(log_file, lines_are_stamped_byte_for_byte) {
  scratch_folder folder;
  SYSTEMTIME before;
  GetLocalTime(&before);
  plinth::log::attach(new plinth::log::file(folder.base()));
  plinth::log::write_w(L"first");
  plinth::log::writef("%d-%s", 7, "x");
  plinth::log::write_w(L"");
  plinth::log::write_w(L"日本 ✓ Grüße");
  plinth::log::write("two\r\nlines");
  plinth::log::write("Gr\xfc\xdf");
  plinth::log::detach_all();

  const std::vector<std::string> lines = lines_after_mark(read_file(folder.base() + ".log.txt"));
  ASSERT_EQ(7u, lines.size());
  EXPECT_EQ("first", text_after_stamp(lines[0], ' '));
  EXPECT_EQ("7-x", text_after_stamp(lines[1], ' '));
  EXPECT_EQ(23u, lines[2].size());
  EXPECT_EQ("", text_after_stamp(lines[2], ' '));
  EXPECT_EQ("\xe6\x97\xa5\xe6\x9c\xac \xe2\x9c\x93 Gr\xc3\xbc\xc3\x9f" "e", text_after_stamp(lines[3], ' '));
  // A message with a line break is written as it is: only its first line has a stamp.
  EXPECT_EQ("two", text_after_stamp(lines[4], ' '));
  EXPECT_EQ("lines", lines[5]);
  // A narrow text the ANSI code page accepts is read in it.
  EXPECT_EQ(utf8(plinth::unicode::to_wide("Gr\xfc\xdf", CP_ACP)), text_after_stamp(lines[6], ' '));

  // Level 1 is four spaces between the seconds and the text; the date is today's.
  EXPECT_EQ("    ", lines[0].substr(19, 4));
  EXPECT_EQ(plinth::sprintf_string("%.4d/%.2d/%.2d", before.wYear, before.wMonth, before.wDay), lines[0].substr(0, 10));
}

TEST(log_file, an_existing_file_is_appended_to_and_marked_only_when_empty) {
  struct row {
    const char* before;
    const char* after;  // followed by the new line
  };
  const row rows[] = {
      {"", "\xef\xbb\xbf"},
      {"\xef\xbb\xbfold\r\n", "\xef\xbb\xbfold\r\n"},
      {"no mark\r\n", "no mark\r\n"},
  };
  for (const row& r : rows) {
    scratch_folder folder;
    write_file(folder.base() + ".log.txt", r.before);
    {
      plinth::log::file log(folder.base());
      log.write(1, "S  ", "new");
    }
    EXPECT_EQ(std::string(r.after) + "S  new\r\n", read_file(folder.base() + ".log.txt")) << r.before;
  }
}

TEST(log_file, a_file_that_cannot_be_opened_is_reported_with_the_system_text) {
  scratch_folder folder;
  const std::string expected = "log[CreateFile failed: " + plinth::system_message(ERROR_PATH_NOT_FOUND) + "]";
  EXPECT_NE("log[CreateFile failed: ]", expected);
  try {
    plinth::log::file log(folder.base("missing\\Kestor"));
    ADD_FAILURE() << "opened";
  } catch (const plinth::log::generic& e) {
    EXPECT_EQ(expected, e.what());
  }
}

TEST(log_hub, level_5_lines_describe_the_exception_being_handled) {
  scratch_folder folder;
  {
    plinth::log::hub hub;
    hub.add(new plinth::log::file(folder.base()));
    auto log_while_handling = [&](auto thrower) {
      try {
        thrower();
      } catch (...) {
        hub.write_line(5, L"ctx");
      }
    };
    log_while_handling([] { throw _com_error(E_OUTOFMEMORY); });
    log_while_handling([] { throw plinth::exception_w(L"wide %s", L"日本"); });
    log_while_handling([] { throw plinth::exception("narrow %d", 5); });
    log_while_handling([] { throw plinth::log::generic("g"); });
    log_while_handling([] { throw std::runtime_error("boom"); });
    log_while_handling([] { throw 42; });
    // Outside a handler there is nothing to add, and nothing to crash on.
    hub.write_line(5, L"ctx");
  }
  const std::vector<std::string> lines = lines_after_mark(read_file(folder.base() + ".log.txt"));
  ASSERT_EQ(7u, lines.size());
  EXPECT_EQ(" @  ", lines[0].substr(19, 4));
  const std::string com_text = _com_error(E_OUTOFMEMORY).ErrorMessage();
  EXPECT_NE("", com_text);
  EXPECT_EQ("ctx _com_error: " + utf8(plinth::unicode::to_wide(com_text, CP_ACP)), text_after_stamp(lines[0], '@'));
  EXPECT_EQ("ctx Exception: [wide \xe6\x97\xa5\xe6\x9c\xac]", text_after_stamp(lines[1], '@'));
  EXPECT_EQ("ctx exception: [narrow 5]", text_after_stamp(lines[2], '@'));
  EXPECT_EQ("ctx exception: log[g]", text_after_stamp(lines[3], '@'));
  EXPECT_EQ("ctx exception: boom", text_after_stamp(lines[4], '@'));
  EXPECT_EQ("ctx unknown exception caught", text_after_stamp(lines[5], '@'));
  EXPECT_EQ("ctx", text_after_stamp(lines[6], '@'));
}

TEST(log_hub, fan_out_by_level_highest_minimum_first_and_latest_first) {
  std::vector<std::string> journal;
  {
    plinth::log::hub hub;
    hub.add(new recording_listener(journal, "a"));
    hub.add(new recording_listener(journal, "b"));
    hub.add(new recording_listener(journal, "c", 0), 3);
    hub.add(new recording_listener(journal, "d", 0), 3);
    hub.add(nullptr);
    hub.write_line(2, L"x");
    hub.write_line(3, L"y");
    hub.write_line(4, L"z");
    hub.writef_w(0, L"%d%s", 1, L"w");
  }
  const std::vector<std::string> expected = {
      "b 2 x", "a 2 x",                                    // below the minimum of c and d
      "d 3 y", "c 3 y", "b 3 y", "a 3 y",                  //
      "d 4 z", "c 4 z", "b 4 z", "a 4 z",                  //
      "b 0 1w", "a 0 1w",                                  //
      "deleted a", "deleted b", "deleted c", "deleted d",  // the hub's end deletes them in key order
  };
  EXPECT_EQ(expected, journal);
}

TEST(log_hub, a_narrow_line_falls_back_to_utf8_and_then_to_a_fixed_line) {
  // The same bytes read in the ANSI code page and as UTF-8 give different texts.
  const std::string text = "\xc3\xbc";
  const std::string as_ansi = utf8(plinth::unicode::to_wide(text, CP_ACP));
  ASSERT_NE(text, as_ansi);
  struct row {
    int failures;  // of the listener, before it accepts lines
    std::string received;
  };
  const row rows[] = {
      {0, "r 1 " + as_ansi},
      {1, "r 1 " + text},
      {2, "r 1 plinth::log: unable to convert input to unicode"},
  };
  for (const row& r : rows) {
    std::vector<std::string> journal;
    {
      plinth::log::hub hub;
      hub.add(new recording_listener(journal, "r", r.failures));
      hub.write(text);
    }
    EXPECT_EQ((std::vector<std::string>{r.received, "deleted r"}), journal) << r.failures;
  }
}

TEST(log_hub, a_proxy_relays_with_its_prefix_into_another_hub) {
  std::vector<std::string> journal;
  plinth::log::hub target;
  target.add(new recording_listener(journal, "t"));
  {
    plinth::log::hub source;
    source.add(new plinth::log::proxy(&target, "p: "));
    source.write_line(3, L"日本");
  }
  EXPECT_EQ((std::vector<std::string>{"t 3 p: \xe6\x97\xa5\xe6\x9c\xac"}), journal);
}

TEST(log_facade, detach_all_deletes_listeners_and_later_lines_go_nowhere) {
  std::vector<std::string> journal;
  plinth::log::attach(new recording_listener(journal, "first"));
  plinth::log::write("a");
  plinth::log::detach_all();
  plinth::log::write("dropped");
  plinth::log::attach(new recording_listener(journal, "second"));
  plinth::log::write_w(L"b");
  plinth::log::detach_all();
  plinth::log::detach_all();
  EXPECT_EQ((std::vector<std::string>{"first 1 a", "deleted first", "second 1 b", "deleted second"}), journal);
}

TEST(log_facade, a_detached_file_listener_has_closed_its_file_and_its_lock) {
  scratch_folder folder;
  const std::string path = folder.base() + ".log.txt";
  const std::string lock = "Global\\" + plinth::log::lock_name_of(folder.base());
  auto open_alone = [&] {
    return plinth::unique_handle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  };
  plinth::log::attach(new plinth::log::file(folder.base()));
  plinth::log::write("line");
  EXPECT_FALSE(open_alone().valid());
  EXPECT_TRUE(plinth::unique_handle(OpenMutexA(SYNCHRONIZE, FALSE, lock.c_str())).valid());

  plinth::log::detach_all();
  EXPECT_TRUE(open_alone().valid());
  EXPECT_FALSE(plinth::unique_handle(OpenMutexA(SYNCHRONIZE, FALSE, lock.c_str())).valid());
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
  EXPECT_TRUE(MoveFileA(path.c_str(), (folder.base() + ".moved").c_str()));
}

// Rotation: numbered copies of the log before the line that finds it full.
class rotation_site {
 public:
  std::string current() const { return folder.base() + ".log.txt"; }
  std::string copy(int i) const { return plinth::sprintf_string("%s.%d.log.txt", folder.base().c_str(), i); }

  // Writes a first line, then one more with the given number of backups and a limit the first
  // line has reached; returns what the file held before the second line.
  std::string rotate_once(unsigned backups) {
    plinth::log::file log(folder.base());
    log.write(1, "S  ", "before");
    const std::string full = read_file(current());
    log.set_backups(backups);
    log.set_size_limit(static_cast<std::uint32_t>(full.size()));
    log.write(1, "S  ", "after");
    return full;
  }

  const std::string fresh = mark + "S  after\r\n";

 private:
  scratch_folder folder;
};

TEST(log_rotation, with_two_backups_and_all_copies_present_the_oldest_goes) {
  rotation_site site;
  write_file(site.copy(1), "one");
  write_file(site.copy(2), "two");
  const std::string full = site.rotate_once(2);
  EXPECT_EQ(mark + "S  before\r\n", full);
  EXPECT_EQ("two", read_file(site.copy(1)));
  EXPECT_EQ(full, read_file(site.copy(2)));
  EXPECT_EQ(site.fresh, read_file(site.current()));
  EXPECT_FALSE(exists(site.copy(3)));
}

TEST(log_rotation, copies_take_the_first_free_number) {
  struct row {
    unsigned backups;
    std::vector<std::string> before;  // copies 1.. present before, "" for none
    std::vector<std::string> after;   // "*" for the full log
  };
  const row rows[] = {
      {0, {}, {}},
      {0, {"one"}, {"one"}},
      {1, {}, {"*"}},
      {1, {"one"}, {"*"}},
      {2, {}, {"*"}},
      {2, {"one"}, {"one", "*"}},
      {3, {"one", "two", "three"}, {"two", "three", "*"}},
  };
  for (const row& r : rows) {
    rotation_site site;
    for (std::size_t i = 0; i < r.before.size(); ++i) write_file(site.copy(int(i) + 1), r.before[i]);
    const std::string full = site.rotate_once(r.backups);
    for (std::size_t i = 0; i < r.after.size(); ++i)
      EXPECT_EQ(r.after[i] == "*" ? full : r.after[i], read_file(site.copy(int(i) + 1))) << r.backups << " " << i;
    EXPECT_FALSE(exists(site.copy(int(r.after.size()) + 1))) << r.backups;
    EXPECT_EQ(site.fresh, read_file(site.current())) << r.backups;
  }
}

// A copy that cannot be replaced would keep the rotation going for ever; instead the copies stay
// as they are and the log starts anew. Copy 1 is protected by being held open without delete
// sharing, or by being read-only (which only keeps it from being deleted: this system lets a
// move replace a read-only file).
TEST(log_rotation, a_copy_that_cannot_be_replaced_ends_the_rotation) {
  struct row {
    unsigned backups;
    bool held_open;
  };
  for (const row r : {row{2, true}, row{1, true}, row{1, false}}) {
    rotation_site site;
    write_file(site.copy(1), "one");
    if (r.backups == 2) write_file(site.copy(2), "two");
    plinth::unique_handle held;
    if (r.held_open)
      held.reset(CreateFileA(site.copy(1).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
    else
      SetFileAttributesA(site.copy(1).c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(held.valid() || !r.held_open);

    site.rotate_once(r.backups);
    held.reset();
    SetFileAttributesA(site.copy(1).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("one", read_file(site.copy(1))) << r.backups << r.held_open;
    if (r.backups == 2) {
      EXPECT_EQ("two", read_file(site.copy(2))) << r.held_open;
    }
    EXPECT_EQ(site.fresh, read_file(site.current())) << r.backups << r.held_open;
  }
}

TEST(log_processes, several_writers_share_one_file_line_by_line) {
  constexpr int writers = 4;
  constexpr int lines_each = 500;
  scratch_folder folder;
  const std::string go_name = plinth::sprintf_string("kestor-log-go-%lu", GetCurrentProcessId());
  plinth::unique_handle go(CreateEventA(nullptr, TRUE, FALSE, go_name.c_str()));
  ASSERT_TRUE(go.valid());

  const std::string writer = "\"" + test_support::windows_path(PLINTH_LOG_WRITER_EXE) + "\"";
  std::vector<test_support::process> children;
  for (int w = 0; w < writers; ++w)
    children.push_back(test_support::start_process(
        "", plinth::sprintf_string("%s \"%s\" w%d %d %s", writer.c_str(), folder.base().c_str(), w, lines_each,
                                   go_name.c_str())));
  SetEvent(go.get());
  for (test_support::process& child : children) {
    ASSERT_TRUE(child.wait(std::chrono::seconds(120)));
    EXPECT_EQ(0u, child.exit_code());
  }

  const std::string content = read_file(folder.base() + ".log.txt");
  EXPECT_EQ(std::string::npos, content.find(mark, 1)) << "a second mark";
  const std::vector<std::string> lines = lines_after_mark(content);
  EXPECT_EQ(std::size_t(writers * lines_each), lines.size());

  const std::regex line_pattern("w([0-9]) ([0-9]+) " + utf8(plinth_test::log_writer_payload));
  std::vector<int> next(writers, 0);
  for (const std::string& line : lines) {
    std::smatch m;
    const std::string text = text_after_stamp(line, ' ');
    if (!std::regex_match(text, m, line_pattern)) {
      ADD_FAILURE() << "broken line: " << line;
      continue;
    }
    // Each writer's lines arrive whole and in its own order.
    const int w = std::stoi(m[1]);
    EXPECT_EQ(next[w], std::stoi(m[2])) << "writer " << w;
    next[w] = std::stoi(m[2]) + 1;
  }
  EXPECT_EQ(std::vector<int>(writers, lines_each), next);
}

}  // namespace
