// kestor-pack as its users run it: packages it writes, read back by its list and extract (the
// stub's own reading code), and every way create refuses to write a package.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <boost/filesystem.hpp>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <sstream>

#include "archive/md5.hpp"
#include "archive/record_format.hpp"
#include "archive/record_writer.hpp"
#include "tests/tools/pack_runner.hpp"

namespace fs = boost::filesystem;
namespace pt = boost::property_tree;
using ::testing::HasSubstr;

namespace {

const std::string marker(record_format::tail_marker, record_format::tail_marker_size);

// A stand-in stub image: like the real stub it holds the marker text among its own bytes, which
// must not be taken for an archive.
// The marker stands far enough in for the tail search to examine it.
const std::string stub_image =
    std::string("MZ a stand-in stub image\0\1\2", 27) + marker + "\xff\xfe more bytes";

// One record as the format has it, written out by hand: content, 32-bit length, MD5.
std::string record(const std::string& content) {
  const auto n = static_cast<std::uint32_t>(content.size());
  std::string bytes = content;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((n >> (8 * i)) & 0xff);
  return bytes + md5(content).digest();
}

pt::ptree parse_json(const std::string& text) {
  std::istringstream in(text);
  pt::ptree tree;
  pt::read_json(in, tree);
  return tree;
}

// The property tree decodes \u00XX to UTF-8; the packer writes each archive byte as one such
// code point, so this maps the expected bytes the same way.
std::string as_code_points(const std::string& bytes) {
  std::string utf8;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xc0 | (b >> 6));
      utf8 += static_cast<char>(0x80 | (b & 0x3f));
    }
  }
  return utf8;
}

std::vector<pt::ptree> json_entries(const pt::ptree& listing) {
  std::vector<pt::ptree> entries;
  for (const auto& child : listing.get_child("entries")) entries.push_back(child.second);
  return entries;
}

class kestor_pack : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = (fs::temp_directory_path() / fs::unique_path("kestor-pack-test-%%%%%%%%")).string();
    fs::create_directories(m_dir);
    write("stub.exe", stub_image);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  std::string path(const std::string& name) const { return m_dir + "/" + name; }
  void write(const std::string& name, const std::string& bytes) const { write_file(path(name), bytes); }
  std::string read(const std::string& name) const { return read_file(path(name)); }
  bool exists(const std::string& name) const { return fs::exists(path(name)); }
  pack_result pack(const std::vector<std::string>& args) const { return run_pack(m_dir, args); }

  // create with the stub and the given entries; the package must be written.
  void create(const std::string& output, std::vector<std::string> entries) const {
    std::vector<std::string> args = {"create", "-o", output, "--stub", "stub.exe"};
    args.insert(args.end(), entries.begin(), entries.end());
    const pack_result result = pack(args);
    ASSERT_EQ(result.code, 0) << result.err;
  }

  // Files in the directory left by failed runs: partial packages under any name.
  std::vector<std::string> leftovers() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(m_dir)) {
      const std::string name = entry.path().filename().string();
      if (name.find(".partial") != std::string::npos) found.push_back(name);
    }
    return found;
  }

  std::string m_dir;
};

TEST_F(kestor_pack, writes_the_stub_entry_then_the_entries_in_the_order_given_then_the_tail) {
  write("payload.bin", std::string("pay\0load", 8));
  create("out.exe", {"--value", "msilog=ON", "--file", "installer32=payload.bin", "--name",
                     "ZEMPOSetup.exe", "--value", "parameters=/V\"A=1\""});

  const std::string expected =
      record(stub_image) + record("stub.exe") + record("stub") + record("stub") +
      record("ON") + record("msilog") + record("value") +
      record(std::string("pay\0load", 8)) + record("ZEMPOSetup.exe") + record("installer32") +
      record("file") +
      record("/V\"A=1\"") + record("parameters") + record("value") +
      record(marker);
  EXPECT_EQ(read("out.exe"), expected);
}

TEST_F(kestor_pack, list_and_extract_read_back_what_create_wrote) {
  const std::string payload = std::string("\0\1binary\0", 9) + marker + std::string(70000, 'x');
  const std::string value = "/V\"USER_BRAND_NAME=\\\"Mirelund\\\" WEBINSTALLER=1\" \xe9\x80";
  write("payload.bin", payload);
  write("empty.dat", "");
  create("out.exe", {"--file", "installer32=payload.bin", "--name", "ZEMPOSetup.exe",
                     "--file", "=empty.dat", "--value", "executable32=%installer32%",
                     "--value", "parameters=" + value});

  const pack_result text = pack({"list", "out.exe"});
  EXPECT_EQ(text.code, 0) << text.err;
  EXPECT_THAT(text.out, HasSubstr("verdict: accepted"));

  const pack_result json = pack({"list", "out.exe", "--json"});
  ASSERT_EQ(json.code, 0) << json.err;
  const pt::ptree listing = parse_json(json.out);
  EXPECT_TRUE(listing.get<bool>("accepted"));
  EXPECT_EQ(listing.get<std::uint64_t>("size"), read("out.exe").size());
  EXPECT_EQ(listing.get<std::uint64_t>("after_tail.size"), 0u);
  EXPECT_EQ(listing.get<std::string>("stop.reason"), "stub");
  const std::vector<pt::ptree> entries = json_entries(listing);
  ASSERT_EQ(entries.size(), 6u);
  // Reading order: the reverse of the order given.
  const char* kinds[] = {"tail", "value", "value", "file", "file", "stub"};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].get<std::string>("kind"), kinds[i]) << i;
  }
  EXPECT_EQ(entries[1].get<std::string>("key"), "parameters");
  EXPECT_EQ(entries[1].get<std::string>("value"), as_code_points(value));
  EXPECT_EQ(entries[2].get<std::string>("value"), "%installer32%");
  EXPECT_EQ(entries[3].get<std::string>("key"), "");
  EXPECT_EQ(entries[3].get<std::string>("name"), "empty.dat");
  EXPECT_EQ(entries[3].get<std::uint64_t>("size"), 0u);
  EXPECT_EQ(entries[4].get<std::string>("name"), "ZEMPOSetup.exe");
  EXPECT_EQ(entries[4].get<std::uint64_t>("size"), payload.size());
  EXPECT_EQ(entries[4].get<std::string>("digest"), "verified");
  EXPECT_EQ(entries[5].get<std::string>("digest"), "not read");

  const pack_result extracted = pack({"extract", "out.exe", "work"});
  ASSERT_EQ(extracted.code, 0) << extracted.err;
  EXPECT_EQ(read("work/ZEMPOSetup.exe"), payload);
  EXPECT_EQ(read("work/empty.dat"), "");
  EXPECT_THAT(extracted.out, HasSubstr("\"installer32\" = \"ZEMPOSetup.exe\"\n"));
  EXPECT_THAT(extracted.out, HasSubstr("\"executable32\" = \"%installer32%\"\n"));
  EXPECT_THAT(extracted.out, HasSubstr("\"parameters\" = \"/V\\\"USER_BRAND_NAME=\\\\\\\"Mirelund"
                                       "\\\\\\\" WEBINSTALLER=1\\\" \\351\\200\"\n"));
  // The file with an empty key sets no variable.
  EXPECT_THAT(extracted.out, ::testing::Not(HasSubstr("\"\" =")));
}

TEST_F(kestor_pack, among_entries_with_one_key_the_one_given_last_wins) {
  write("a.bin", "content of a");
  write("b.bin", "content of b");
  create("out.exe", {"--value", "parameters=first", "--value", "parameters=second",
                     "--file", "installer32=a.bin", "--name", "same.exe",
                     "--file", "installer32=b.bin", "--name", "same.exe"});
  const pack_result extracted = pack({"extract", "out.exe", "work"});
  ASSERT_EQ(extracted.code, 0) << extracted.err;
  EXPECT_THAT(extracted.out, HasSubstr("\"parameters\" = \"second\"\n"));
  EXPECT_THAT(extracted.out, ::testing::Not(HasSubstr("\"first\"")));
  // Both files are written in reading order, so the one given first is the one left on disk.
  EXPECT_EQ(read("work/same.exe"), "content of a");
}

TEST_F(kestor_pack, warns_about_entries_the_stub_reads_but_never_uses) {
  write("a.bin", "a");
  write("b.bin", "b");
  const pack_result result = pack({"create", "-o", "out.exe", "--stub", "stub.exe", "--value",
                                   "source=C:\\elsewhere", "--file", "x=a.bin", "--name", "n.exe",
                                   "--file", "y=b.bin", "--name", "n.exe"});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr("'source'"));
  EXPECT_THAT(result.err, HasSubstr("both stored as 'n.exe'"));
}

struct refused_case {
  const char* what;
  std::vector<std::string> entries;  // after -o out.exe --stub STUB
  const char* message;
  std::string stub = "stub.exe";
};

TEST_F(kestor_pack, refuses_packages_the_stub_cannot_read_and_leaves_no_file) {
  write("small.bin", "small");
  fs::create_directories(path("folder"));
  // Sparse files: the sizes are checked before anything is read.
  fs::resize_file((write("huge.bin", ""), path("huge.bin")), record_format::max_content_length + 1ull);
  fs::resize_file((write("half1.bin", ""), path("half1.bin")), record_format::max_content_length);
  create("packed.exe", {"--value", "k=v"});

  // Sizes chosen so that the package is exactly 4 GiB: one byte too many.
  const std::uint64_t fixed = stub_image.size() + 20 + (8 + 20) + 24 + 24  // the stub entry
                              + 20 + (9 + 20) + (1 + 20) + 24              // half1.bin as "a"
                              + 20 + (9 + 20) + (1 + 20) + 24              // half2.bin as "b"
                              + 42;                                         // the tail
  fs::resize_file((write("half2.bin", ""), path("half2.bin")),
                  record_format::package_size_limit - fixed - record_format::max_content_length);

  std::vector<refused_case> cases = {
      {"missing stub", {}, "cannot read stub image 'missing.exe'", "missing.exe"},
      {"missing file", {"--file", "k=nothing.bin"}, "cannot read file 'nothing.bin'"},
      {"directory as file", {"--file", "k=folder"}, "not a regular file"},
      {"content too long", {"--file", "k=huge.bin"}, "a record holds at most 2147483644"},
      {"package of 4 GiB", {"--file", "a=half1.bin", "--file", "b=half2.bin"},
       "smaller than 4 GiB"},
      {"empty name", {"--file", "k=small.bin", "--name", ""}, "refused by the stub"},
      {"dot", {"--file", "k=small.bin", "--name", "."}, "refused by the stub"},
      {"dot dot", {"--file", "k=small.bin", "--name", ".."}, "refused by the stub"},
      {"slash", {"--file", "k=small.bin", "--name", "sub/x.exe"}, "refused by the stub"},
      {"backslash", {"--file", "k=small.bin", "--name", "..\\x.exe"}, "refused by the stub"},
      {"colon", {"--file", "k=small.bin", "--name", "C:x.exe"}, "refused by the stub"},
      {"stub with an archive", {}, "already carries an archive", "packed.exe"},
  };
  if (geteuid() != 0) {  // the superuser reads whatever the mode says
    write("locked.bin", "locked");
    fs::permissions(path("locked.bin"), fs::no_perms);
    cases.push_back({"unreadable file", {"--file", "k=locked.bin"}, "cannot read file 'locked.bin'"});
  }

  write("out.exe", "an older package");
  for (const refused_case& c : cases) {
    std::vector<std::string> args = {"create", "-o", "out.exe", "--stub", c.stub};
    args.insert(args.end(), c.entries.begin(), c.entries.end());
    const pack_result result = pack(args);
    EXPECT_EQ(result.code, 1) << c.what;
    EXPECT_THAT(result.err, HasSubstr(c.message)) << c.what;
    EXPECT_EQ(read("out.exe"), "an older package") << c.what;
    EXPECT_THAT(leftovers(), ::testing::IsEmpty()) << c.what;
  }

  // One byte less is a package the stub can read (checked without writing 4 GiB), and a content
  // of exactly the longest length is fine.
  fs::resize_file(path("half2.bin"), fs::file_size(path("half2.bin")) - 1);
  const pack_result largest = pack({"create", "--dry-run", "-o", "big.exe", "--stub", "stub.exe",
                                    "--file", "a=half1.bin", "--file", "b=half2.bin"});
  EXPECT_EQ(largest.code, 0) << largest.err;
  EXPECT_THAT(largest.out, HasSubstr("4294967295 bytes"));
  EXPECT_FALSE(exists("big.exe"));
}

TEST_F(kestor_pack, wrong_command_lines_end_with_exit_code_2) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"create", "--stub", "stub.exe"},
      {"create", "-o", "out.exe"},
      {"create", "-o", "out.exe", "--stub", "stub.exe", "--name", "x"},
      {"create", "-o", "out.exe", "--stub", "stub.exe", "--value", "no-equals-sign"},
      {"create", "-o"},
      {"list"},
      {"list", "a", "b"},
      {"extract", "out.exe"},
  };
  for (const auto& args : cases) {
    const pack_result result = pack(args);
    EXPECT_EQ(result.code, 2) << ::testing::PrintToString(args);
    EXPECT_FALSE(exists("out.exe"));
  }
  for (const char* command : {"create", "list", "extract", "explain"}) {
    const pack_result result = pack({command, "--help"});
    EXPECT_EQ(result.code, 0) << command;
    EXPECT_THAT(result.out, HasSubstr(std::string("Usage: kestor-pack ") + command));
  }
}

TEST_F(kestor_pack, list_gives_the_stubs_verdict_on_damaged_and_foreign_files) {
  write("payload.bin", std::string(5000, 'p'));
  create("good.exe", {"--file", "installer32=payload.bin", "--value", "msilog=ON"});
  const std::string good = read("good.exe");

  // A signature's bytes after the tail change nothing.
  write("signed.exe", good + std::string(2, '\0') + std::string(300, 'c'));
  // One altered byte of the payload: the value read before it stays listed.
  std::string damaged = good;
  damaged[stub_image.size() + 20 + (8 + 20) + 24 + 24 + 100] ^= 1;
  write("damaged.exe", damaged);
  write("foreign.exe", std::string(4000, 'z'));
  // A package the packer refuses to make, as another tool might: a name leading out of the
  // work directory.
  {
    std::ostringstream escape;
    record_writer writer(escape);
    std::istringstream image(stub_image), evil("evil");
    writer.write_stub_entry(image, "stub.exe", "stub");
    writer.write_file_entry("k", "../evil.exe", evil);
    writer.write_tail();
    write("escape.exe", escape.str());
  }

  struct listing_case {
    const char* file;
    int code;
    std::size_t entries;
    const char* message_box;  // "null": none (as the property tree reads a JSON null)
  };
  const listing_case cases[] = {
      {"signed.exe", 0, 4, "null"},
      {"damaged.exe", 1, 2, "null"},
      {"foreign.exe", 1, 0, "Failed to initialize archive!"},
      // The search meets the stub's own marker text, but no tail record stands around it.
      {"stub.exe", 1, 0, "null"},
      {"missing.exe", 1, 0, "Failed to open archive!"},
      {"escape.exe", 1, 2, "Failed to extract file!"},
  };
  for (const listing_case& c : cases) {
    const pack_result result = pack({"list", c.file, "--json"});
    EXPECT_EQ(result.code, c.code) << c.file << result.err;
    const pt::ptree listing = parse_json(result.out);
    EXPECT_EQ(listing.get<bool>("accepted"), c.code == 0) << c.file;
    EXPECT_EQ(json_entries(listing).size(), c.entries) << c.file;
    EXPECT_EQ(listing.get<std::string>("message_box"), c.message_box) << c.file;
    EXPECT_EQ(pack({"list", c.file}).code, c.code) << c.file;
  }
  const pt::ptree signed_listing = parse_json(pack({"list", "signed.exe", "--json"}).out);
  EXPECT_EQ(signed_listing.get<std::uint64_t>("after_tail.size"), 302u);
  const pt::ptree damaged_listing = parse_json(pack({"list", "damaged.exe", "--json"}).out);
  EXPECT_EQ(damaged_listing.get<std::string>("stop.reason"), "damaged");
  EXPECT_EQ(damaged_listing.get<std::string>("stop.record"), "content");
  EXPECT_EQ(json_entries(damaged_listing)[1].get<std::string>("key"), "msilog");

  // extract writes nothing for a content that fails its digest, and nothing outside DIR.
  const pack_result damaged_extract = pack({"extract", "damaged.exe", "work"});
  EXPECT_EQ(damaged_extract.code, 1);
  EXPECT_THAT(damaged_extract.out, HasSubstr("\"msilog\" = \"ON\""));
  EXPECT_FALSE(exists("work/payload.bin"));
  const pack_result escape_extract = pack({"extract", "escape.exe", "work"});
  EXPECT_EQ(escape_extract.code, 1);
  EXPECT_THAT(escape_extract.err, HasSubstr("Failed to extract file!"));
  EXPECT_FALSE(exists("evil.exe"));
}

TEST_F(kestor_pack, explain_composes_what_the_stub_would_hand_to_the_payload) {
  write("setup.bin", "setup");
  create("out.exe", {"--file", "installer32=setup.bin", "--name", "setup.exe",
                     "--value", "executable32=%installer32%",
                     "--value", "parameters=/V\"A=1 B=2 SRC=%source%\"", "--value", "msilog=ON"});
  struct explain_case {
    std::vector<std::string> options;
    const char* parameters;
  };
  const explain_case cases[] = {
      {{}, " /V\"/l*v \"C:\\Temp\\ZEMPO_msi.log.txt\"  A=1 B=2 SRC=C:\\Temp\\TVN123\""},
      {{"--command-line", "/s /v\"X=1 Y=2\" /qn", "--language", "1031"},
       "/L1031 /s  /qn /V\"/l*v \"C:\\Temp\\ZEMPO_msi.log.txt\" X=1 Y=2 A=1 B=2 SRC=C:\\Temp\\TVN123\""},
      // The user's own /L wins over the registered language.
      {{"--command-line", "/L1033", "--language", "1031"},
       "/L1033 /V\"/l*v \"C:\\Temp\\ZEMPO_msi.log.txt\"  A=1 B=2 SRC=C:\\Temp\\TVN123\""},
  };
  for (const explain_case& c : cases) {
    std::vector<std::string> args = {"explain", "out.exe", "--json", "--temp", "C:\\Temp", "--work-number",
                                     "123"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const pack_result result = pack(args);
    ASSERT_EQ(result.code, 0) << result.err;
    const pt::ptree answer = parse_json(result.out);
    EXPECT_EQ(answer.get<std::string>("parameters"), c.parameters);
    EXPECT_EQ(answer.get<std::string>("payload"), "C:\\Temp\\TVN123\\setup.exe");
    EXPECT_EQ(answer.get<std::string>("start_directory"), "C:\\Temp");
  }

  // An archive the stub refuses: no payload, exit code 1, the boxes in the stub's order.
  const pack_result refused = pack({"explain", "stub.exe", "--json"});
  EXPECT_EQ(refused.code, 1);
  const pt::ptree answer = parse_json(refused.out);
  EXPECT_FALSE(answer.get<bool>("archive_accepted"));
  std::vector<std::string> captions;
  for (const auto& box : answer.get_child("message_boxes")) {
    captions.push_back(box.second.get<std::string>("caption"));
  }
  EXPECT_THAT(captions, ::testing::ElementsAre("Invalid Archive!"));
}

}  // namespace
