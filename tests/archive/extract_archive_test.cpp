// Extraction of whole packages from real files: the sample package, the cases that decide the
// answer, what is written and what the table holds, and the failure reports.
#include "archive/extract_archive.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "archive/md5.hpp"
#include "archive/record_format.hpp"
#include "archive/variable_table.hpp"
#include "tests/archive/file_error_codes.hpp"
#include "tests/archive/package_builder.hpp"
#include "tests/archive/sample_package.hpp"
#include "tests/archive/scratch_directory.hpp"

namespace {

struct report {
  std::string caption;
  std::string path;
  os_error code;
  bool operator==(const report& other) const {
    return caption == other.caption && path == other.path && code == other.code;
  }
};

std::ostream& operator<<(std::ostream& out, const report& r) {
  return out << r.caption << " / " << r.path << " / " << r.code;
}

class recording_reporter : public failure_reporter {
 public:
  void report(const std::string& caption, const std::string& path, os_error code) override {
    reports.push_back({caption, path, code});
  }
  std::vector<::report> reports;
};

const std::string driver_source = "C:\\Temp\\TVN7";
const std::string driver_commandline = "/q";

variable_table driver_table() {
  variable_table table;
  table.set("source", driver_source);
  table.set("commandline", driver_commandline);
  return table;
}

std::map<std::string, std::string> with_driver_values(std::map<std::string, std::string> values) {
  values.emplace("source", driver_source);
  values.emplace("commandline", driver_commandline);
  return values;
}

std::string small_stub() { return sample_package::stub_image().substr(0, 0x5000); }

std::string altered(std::string content, std::size_t at) {
  content[at] = static_cast<char>(content[at] ^ 0x01);
  return content;
}

// A file entry whose content no longer matches its stored digest.
package_builder& damaged_file(package_builder& b, const std::string& key, const std::string& name,
                              const std::string& content) {
  return b.record(altered(content, content.size() / 2), md5(content).digest())
      .record(name)
      .record(key)
      .record(record_format::kind_file);
}

TEST(extract_archive, sample_package) {
  scratch_directory work;
  const sample_package sample = sample_package::make();
  const std::string path = work.file("package.exe");
  write_bytes(path, sample.bytes);
  scratch_directory destination;

  variable_table table = driver_table();
  recording_reporter reporter;
  EXPECT_TRUE(extract_archive(path, destination.destination(), table, reporter, system_output_files()));
  EXPECT_TRUE(reporter.reports.empty());
  EXPECT_EQ(table.entries(), with_driver_values({{"msilog", "ON"},
                                                 {"parameters", sample_package::parameters},
                                                 {"executable32", "%installer32%"},
                                                 {"installer32", "ZEMPOSetup.exe"}}));
  const auto files = directory_files(destination.path());
  ASSERT_EQ(files.size(), 1u);
  ASSERT_EQ(files.count("ZEMPOSetup.exe"), 1u);
  EXPECT_TRUE(files.at("ZEMPOSetup.exe") == sample.payload);
}

struct extraction_case {
  const char* name;
  std::function<std::string()> package;
  bool answer;
  std::map<std::string, std::string> values;  // the whole table afterwards, besides the driver's
  std::map<std::string, std::string> files;   // everything in the destination afterwards
  std::vector<std::string> reports;           // captions, each naming the archive path
  bool destination_missing = false;
};

std::vector<extraction_case> extraction_cases() {
  const std::string payload = sample_package::filler(3 * 1024 * 1024 + 17, 9);  // several blocks
  return {
      {"the value nearer the end wins",
       [] { return package_builder().stub(small_stub()).value("k", "first").value("k", "second").tail().bytes(); },
       true, {{"k", "second"}}, {}, {}},
      {"the driver's source stays",
       [] { return package_builder().stub(small_stub()).value("source", "D:\\elsewhere").tail().bytes(); },
       true, {}, {}, {}},
      {"a file with an empty key sets no variable",
       [] { return package_builder().stub(small_stub()).file("", "readme.txt", "abc").tail().bytes(); },
       true, {}, {{"readme.txt", "abc"}}, {}},
      {"an empty file",
       [] { return package_builder().stub(small_stub()).file("e", "empty.dat", "").tail().bytes(); },
       true, {{"e", "empty.dat"}}, {{"empty.dat", ""}}, {}},
      {"two files of one name: the one nearer the start is written last",
       [] {
         return package_builder().stub(small_stub()).file("a", "same.bin", "older").file("b", "same.bin", "newer")
             .tail().bytes();
       },
       true, {{"a", "same.bin"}, {"b", "same.bin"}}, {{"same.bin", "older"}}, {}},
      {"an entry of unknown kind is skipped",
       [] {
         return package_builder().stub(small_stub()).value("a", "1").record("x").record("other").value("b", "2")
             .tail().bytes();
       },
       true, {{"a", "1"}, {"b", "2"}}, {}, {}},
      {"a second marker record is read as a kind and the reading goes on",
       [] { return package_builder().stub(small_stub()).value("a", "1").tail().value("b", "2").tail().bytes(); },
       true, {{"a", "1"}, {"b", "2"}}, {}, {}},
      {"the stub entry ends the reading",
       [] { return package_builder().value("before", "x").stub(small_stub()).value("a", "1").tail().bytes(); },
       true, {{"a", "1"}}, {}, {}},
      {"a large payload",
       [payload] { return package_builder().stub(small_stub()).file("p", "big.bin", payload).tail().bytes(); },
       true, {{"p", "big.bin"}}, {{"big.bin", payload}}, {}},
      {"one altered payload byte: false, no file, the values read before it stay",
       [payload] {
         package_builder b;
         b.stub(small_stub()).value("early", "x");
         damaged_file(b, "installer32", "p.exe", payload);
         return b.value("late", "y").tail().bytes();
       },
       false, {{"late", "y"}}, {}, {}},
      {"a damaged content is not created even where creation would fail",
       [payload] {
         package_builder b;
         b.stub(small_stub());
         damaged_file(b, "installer32", "p.exe", payload);
         return b.tail().bytes();
       },
       false, {}, {}, {}, true},
      {"a damaged tail record",
       [] {
         return package_builder().stub(small_stub()).value("a", "1")
             .record(record_format::tail_marker, std::string(16, '\0')).bytes();
       },
       false, {}, {}, {}},
      {"destination not writable: false at once, the key is set, nothing after is read",
       [] {
         return package_builder().stub(small_stub()).value("early", "x").file("k", "p.exe", "data")
             .value("late", "y").tail().bytes();
       },
       false, {{"late", "y"}, {"k", "p.exe"}}, {}, {extraction_caption::extract_failed}, true},
      {"no marker anywhere (some other program)",
       [] { return sample_package::filler(70000, 4); }, false, {}, {}, {extraction_caption::no_archive}},
      {"a bare stub: the marker among its constants is no tail record",
       [] { return sample_package::stub_image(); }, false, {}, {}, {}},
      {"45 bytes: no window to examine",
       [] { return std::string(23, 'x') + record_format::tail_marker; }, false, {}, {},
       {extraction_caption::no_archive}},
      {"46 bytes: the window at 23 is found, but no record ends behind it",
       [] { return std::string(23, 'x') + record_format::tail_marker + "x"; }, false, {}, {}, {}},
      {"only a marker ending at the last byte: not examined",
       [] { return std::string(100, 'x') + record_format::tail_marker; }, false, {}, {},
       {extraction_caption::no_archive}},
      {"a marker ending at the last byte after a package is not met",
       [] { return package_builder().stub(small_stub()).value("a", "1").tail().raw(record_format::tail_marker).bytes(); },
       true, {{"a", "1"}}, {}, {}},
      {"a key whose length reaches before the file start ends the reading, answer unchanged",
       [] {
         return package_builder().raw("0123456789").record_with_length("key", 1000, md5("key").digest())
             .record(record_format::kind_value).tail().bytes();
       },
       true, {}, {}, {}},
      {"a key whose length wraps a 32-bit move ends the reading, answer unchanged",
       [] {
         return package_builder().raw(std::string(64, 'z')).record_with_length("key", 0xfffffff0u, md5("key").digest())
             .record(record_format::kind_value).tail().bytes();
       },
       true, {}, {}, {}},
  };
}

TEST(extract_archive, cases) {
  for (const extraction_case& c : extraction_cases()) {
    SCOPED_TRACE(c.name);
    scratch_directory work;
    const std::string path = work.file("package.exe");
    write_bytes(path, c.package());
    scratch_directory destination_parent;
    const std::filesystem::path destination =
        c.destination_missing ? destination_parent.path() / "missing" : destination_parent.path();

    variable_table table = driver_table();
    recording_reporter reporter;
    EXPECT_EQ(extract_archive(path, scratch_directory::with_separator(destination), table, reporter,
                              system_output_files()),
              c.answer);
    EXPECT_EQ(table.entries(), with_driver_values(c.values));
    const auto files = directory_files(destination_parent.path());
    EXPECT_EQ(files.size(), c.files.size());
    for (const auto& [name, content] : c.files) {
      ASSERT_EQ(files.count(name), 1u) << name;
      EXPECT_TRUE(files.at(name) == content) << name;
    }
    EXPECT_FALSE(c.destination_missing && std::filesystem::exists(destination));

    ASSERT_EQ(reporter.reports.size(), c.reports.size());
    for (std::size_t i = 0; i < c.reports.size(); ++i) {
      EXPECT_EQ(reporter.reports[i].caption, c.reports[i]);
      if (c.reports[i] == std::string(extraction_caption::extract_failed)) {
        EXPECT_EQ(reporter.reports[i], (report{c.reports[i], scratch_directory::with_separator(destination) + "p.exe",
                                               path_not_found}));
      } else {
        // The last error is whatever it is; only the path is fixed.
        EXPECT_EQ(reporter.reports[i].path, path);
      }
    }
  }
}

TEST(extract_archive, an_archive_that_cannot_be_opened) {
  scratch_directory work;
  variable_table table = driver_table();
  recording_reporter reporter;
  const std::string path = work.file("absent.exe");
  EXPECT_FALSE(extract_archive(path, work.destination(), table, reporter, system_output_files()));
  EXPECT_EQ(reporter.reports, (std::vector<report>{{extraction_caption::open_failed, path, file_not_found}}));
}

TEST(extract_archive, names_that_would_leave_the_destination_are_refused) {
  const std::vector<std::string> names = {
      "", ".", "..", "..\\evil.exe", "sub\\evil.exe", "../evil.exe", "/abs.exe", "C:evil.exe",
      "setup.exe:stream", std::string("setup.exe\0.txt", 14)};
  for (const std::string& name : names) {
    SCOPED_TRACE("name \"" + name + "\"");
    scratch_directory work;
    const std::string path = work.file("package.exe");
    write_bytes(path, package_builder().stub(small_stub()).file("installer32", name, "MZ payload").tail().bytes());
    std::filesystem::create_directory(work.path() / "dest");
    const std::string destination = scratch_directory::with_separator(work.path() / "dest");

    variable_table table = driver_table();
    recording_reporter reporter;
    EXPECT_FALSE(extract_archive(path, destination, table, reporter, system_output_files()));
    EXPECT_EQ(reporter.reports,
              (std::vector<report>{{extraction_caption::extract_failed, destination + name, invalid_name_error()}}));
    // Nothing was written, neither in the destination nor beside it.
    EXPECT_TRUE(directory_files(work.path() / "dest").empty());
    EXPECT_EQ(directory_files(work.path()).size(), 2u);  // the package and the destination
  }
}

// Output that takes the first `limit` bytes and then fails like a full disk.
class failing_files : public output_file_system {
 public:
  explicit failing_files(std::size_t limit) : m_limit(limit) {}

  std::unique_ptr<output_file> create(const std::string& path, os_error&) override {
    created.push_back(path);
    return std::make_unique<file>(*this);
  }
  void remove(const std::string& path) override { removed.push_back(path); }

  std::vector<std::string> created, removed;
  std::size_t written = 0;

 private:
  class file : public output_file {
   public:
    explicit file(failing_files& owner) : m_owner(owner) {}
    bool write(const void*, std::size_t size, os_error& error) override {
      if (m_owner.written + size > m_owner.m_limit) {
        error = disk_full_error();
        return false;
      }
      m_owner.written += size;
      return true;
    }

   private:
    failing_files& m_owner;
  };

  std::size_t m_limit;
};

TEST(extract_archive, a_failed_write_leaves_no_truncated_file) {
  scratch_directory work;
  const std::string path = work.file("package.exe");
  const std::string payload = sample_package::filler(3 * 1024 * 1024, 5);
  write_bytes(path, package_builder().stub(small_stub()).file("installer32", "setup.exe", payload)
                        .value("late", "y").tail().bytes());
  const std::string destination = work.destination();

  for (std::size_t limit : {std::size_t(0), std::size_t(1024 * 1024), payload.size() - 1}) {
    SCOPED_TRACE(limit);
    failing_files files(limit);
    variable_table table = driver_table();
    recording_reporter reporter;
    EXPECT_FALSE(extract_archive(path, destination, table, reporter, files));
    EXPECT_EQ(reporter.reports,
              (std::vector<report>{{extraction_caption::extract_failed, destination + "setup.exe", disk_full_error()}}));
    EXPECT_EQ(files.created, std::vector<std::string>{destination + "setup.exe"});
    EXPECT_EQ(files.removed, files.created);
  }
}

}  // namespace
