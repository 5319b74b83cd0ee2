#include "config/suite_impl.hpp"

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <boost/archive/archive_exception.hpp>
#include <boost/archive/iterators/dataflow_exception.hpp>
#include <boost/archive/xml_iarchive.hpp>
#include <boost/archive/xml_oarchive.hpp>
#include <gtest/gtest.h>

namespace {

using config::suite_impl;
using config::update_impl;

// ---------------------------------------------------------------------------------------------
// Saving and loading

std::string save(const suite_impl& record) {
  std::ostringstream stream;
  {
    boost::archive::xml_oarchive archive(stream);
    archive << boost::serialization::make_nvp("suite", record);
  }  // the archive closes the document when it goes
  return stream.str();
}

void load(const std::string& text, suite_impl& record) {
  std::istringstream stream(text);
  boost::archive::xml_iarchive archive(stream);
  archive >> boost::serialization::make_nvp("suite", record);
}

std::unique_ptr<suite_impl> load_new(const std::string& text) {
  std::istringstream stream(text);
  boost::archive::xml_iarchive archive(stream);
  suite_impl* record = nullptr;
  archive >> boost::serialization::make_nvp("suite", record);
  return std::unique_ptr<suite_impl>(record);
}

std::string fixture_path(const std::string& name) { return std::string(KESTOR_CONFIG_FIXTURES) + name; }

std::string read_fixture(const std::string& name) {
  std::ifstream file(fixture_path(name), std::ios::binary);
  EXPECT_TRUE(file.is_open()) << fixture_path(name);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Where the content of the first element <name ...> begins and ends, attributes allowed.
std::pair<std::size_t, std::size_t> element_content(const std::string& text, const std::string& name) {
  const std::regex start_tag("<" + name + "[ >]");
  std::smatch match;
  const std::size_t end = text.find("</" + name + ">");
  if (!std::regex_search(text, match, start_tag) || end == std::string::npos) {
    ADD_FAILURE() << "no element " << name;
    return {0, 0};
  }
  const std::size_t begin = text.find('>', static_cast<std::size_t>(match.position(0))) + 1;
  return {begin, end};
}

std::string element_text(const std::string& text, const std::string& name) {
  const auto [begin, end] = element_content(text, name);
  return text.substr(begin, end - begin);
}

std::string with_element_text(std::string text, const std::string& name, const std::string& value) {
  const auto [begin, end] = element_content(text, name);
  return text.replace(begin, end - begin, value);
}

// ---------------------------------------------------------------------------------------------
// Records to compare

template <class Text>
void for_each_wide_text(suite_impl& record, Text text) {
  for (std::wstring* field :
       {&record.m_user_name, &record.m_user_site, &record.m_machine_id, &record.m_user_id,
        &record.m_msg_system_data, &record.m_last_used_language, &record.m_product_id,
        &record.m_partner_id, &record.m_version, &record.m_suite_name, &record.m_suite_launcher_path,
        &record.m_suite_msgsys_path, &record.m_community_url, &record.m_service_name,
        &record.m_service_end_point, &record.m_update_end_point, &record.m_update_url,
        &record.m_proxy.m_proxy_server}) {
    text(*field);
  }
  for (std::wstring& url : record.m_login_urls) text(url);
  for (update_impl& entry : record.m_update_paths) {
    text(entry.m_name);
    text(entry.m_code);
    text(entry.m_local);
  }
}

// UTF-8 of each wchar_t on its own, as Boost's writer puts wide text down. With a 16-bit wchar_t
// a character beyond U+FFFF is a surrogate pair and becomes two three-byte sequences.
[[maybe_unused]] std::string utf8_per_unit(const std::wstring& text) {
  std::string bytes;
  for (wchar_t unit : text) {
    const auto c = static_cast<std::uint32_t>(unit);
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | (c >> 6));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes += static_cast<char>(0xE0 | (c >> 12));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | (c >> 18));
      bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return bytes;
}

[[maybe_unused]] std::wstring widened_bytes(const std::string& bytes) {
  std::wstring text;
  for (unsigned char byte : bytes) text += static_cast<wchar_t>(byte);
  return text;
}

// A record as this tree reads it back after it was written. glibc decodes the UTF-8 under the
// UTF-8 LC_CTYPE the tests run in. msvcrt has no UTF-8 LC_CTYPE, and MinGW's mbrtowc in the "C"
// locale makes one character of each byte: non-ASCII wide text comes back as its UTF-8 bytes.
suite_impl as_read_back(suite_impl record) {
#if defined(_WIN32)
  for_each_wide_text(record, [](std::wstring& text) { text = widened_bytes(utf8_per_unit(text)); });
#endif
  return record;
}

// Every field set, with texts that need escaping, characters outside ASCII (all of them below
// U+10000, which both trees write alike) and the ends of the numeric ranges.
suite_impl full_record() {
  suite_impl record;
  record.m_user_name = L"J\u00fcrgen Gro\u00df";
  record.m_user_site = L"https://example.test/?a=1&b=<2>";
  record.m_login_urls = {L"https://login.example.test/", L"https://login.example.test/\u65e5\u672c"};
  record.m_login_success = std::numeric_limits<std::int32_t>::min();
  record.m_machine_id = L"{6F9619FF-8B86-D011-B42D-00C04FC964FF}";
  record.m_user_id = L"  user 42  ";
  record.m_last_synchronize_time = std::numeric_limits<std::int64_t>::max();
  record.m_msg_system_data = L"line one\nline two\t\"quoted\" 'single'";
  record.m_last_used_language = L"de-DE";
  record.m_product_id = L"TVN";
  record.m_partner_id = L"partner-7";
  record.m_version = L"4.2.1.977";
  record.m_suite_name = L"Mirelund \u2013 Suite";
  record.m_suite_launcher_path = L"C:\\Program Files\\Mirelund\\launcher.exe";
  record.m_suite_msgsys_path = L"C:\\ProgramData\\Mirelund\\msgsys";
  record.m_community_url = L"https://community.example.test/";
  record.m_service_name = L"MirelundService";
  record.m_service_end_point = L"net.pipe://localhost/mirelund";
  record.m_update_end_point = L"https://update.example.test/api";
  record.m_update_url = L"https://update.example.test/\u00e4nderungen";
  record.m_update_paths = {
      {L"core", L"C-1", L"C:\\Mirelund\\core", 1, 2},
      {L"lang", L"L-\u00e9", L"", -1, std::numeric_limits<std::int32_t>::max()},
      {L"", L"", L"", 0, 0},
  };
  record.m_proxy = {true, L"proxy.example.test", 65535};
  record.m_parameters = "/quiet ACCEPT=\"yes\" & <more>";
  record.m_login_parameters = "caf\xe9";  // narrow texts are ANSI bytes and stay so
  record.m_used_flag = true;
  return record;
}

// What version0.xml to version3.xml hold; the fields of later versions are left at the defaults.
suite_impl old_fixture_record(unsigned int version) {
  suite_impl record;
  record.m_user_name = L"anna";
  record.m_user_site = L"https://anna.example.test/";
  record.m_login_urls = {L"https://login.example.test/"};
  record.m_login_success = 1;
  record.m_machine_id = L"M-1";
  record.m_user_id = L"U-1";
  record.m_last_synchronize_time = 1700000000;
  record.m_msg_system_data = L"msg";
  record.m_last_used_language = L"en-US";
  record.m_product_id = L"TVN";
  record.m_partner_id = L"P-1";
  record.m_version = L"3.0.0." + std::to_wstring(version);
  record.m_suite_name = version >= 1 ? L"Legacy Suite" : L"Suite";
  record.m_suite_launcher_path = L"C:\\Mirelund\\launcher.exe";
  record.m_suite_msgsys_path = L"C:\\Mirelund\\msgsys";
  record.m_community_url = L"https://community.example.test/";
  record.m_service_name = L"svc";
  record.m_service_end_point = L"https://service.example.test/";
  record.m_update_end_point = L"https://update.example.test/";
  record.m_update_url = L"https://update.example.test/latest";
  record.m_update_paths = {{L"core", L"C-1", L"C:\\Mirelund\\core", 1, 2}};
  record.m_proxy = {true, L"proxy.example.test", 8080};
  if (version >= 2) record.m_parameters = "/passive";
  if (version >= 3) record.m_login_parameters = "sso=1";
  record.m_archive_version = version;
  return record;
}

void expect_same(const suite_impl& expected, const suite_impl& actual) {
#define EXPECT_SAME_FIELD(field) EXPECT_EQ(expected.field, actual.field) << #field
  EXPECT_SAME_FIELD(m_user_name);
  EXPECT_SAME_FIELD(m_user_site);
  EXPECT_SAME_FIELD(m_login_urls);
  EXPECT_SAME_FIELD(m_login_success);
  EXPECT_SAME_FIELD(m_machine_id);
  EXPECT_SAME_FIELD(m_user_id);
  EXPECT_SAME_FIELD(m_last_synchronize_time);
  EXPECT_SAME_FIELD(m_msg_system_data);
  EXPECT_SAME_FIELD(m_last_used_language);
  EXPECT_SAME_FIELD(m_product_id);
  EXPECT_SAME_FIELD(m_partner_id);
  EXPECT_SAME_FIELD(m_version);
  EXPECT_SAME_FIELD(m_suite_name);
  EXPECT_SAME_FIELD(m_suite_launcher_path);
  EXPECT_SAME_FIELD(m_suite_msgsys_path);
  EXPECT_SAME_FIELD(m_community_url);
  EXPECT_SAME_FIELD(m_service_name);
  EXPECT_SAME_FIELD(m_service_end_point);
  EXPECT_SAME_FIELD(m_update_end_point);
  EXPECT_SAME_FIELD(m_update_url);
  EXPECT_SAME_FIELD(m_update_paths.size());
  for (std::size_t i = 0; i < expected.m_update_paths.size() && i < actual.m_update_paths.size(); ++i) {
    EXPECT_SAME_FIELD(m_update_paths[i].m_name) << i;
    EXPECT_SAME_FIELD(m_update_paths[i].m_code) << i;
    EXPECT_SAME_FIELD(m_update_paths[i].m_local) << i;
    EXPECT_SAME_FIELD(m_update_paths[i].m_update_mode) << i;
    EXPECT_SAME_FIELD(m_update_paths[i].m_update_type) << i;
  }
  EXPECT_SAME_FIELD(m_proxy.m_proxy_enabled);
  EXPECT_SAME_FIELD(m_proxy.m_proxy_server);
  EXPECT_SAME_FIELD(m_proxy.m_proxy_port);
  EXPECT_SAME_FIELD(m_parameters);
  EXPECT_SAME_FIELD(m_login_parameters);
  EXPECT_SAME_FIELD(m_used_flag);
  EXPECT_SAME_FIELD(m_archive_version);
#undef EXPECT_SAME_FIELD
}

// Boost reads wide text back under the C library's LC_CTYPE. glibc has a UTF-8 one; every test
// runs in it unless it says otherwise. msvcrt has none (see the msvcrt test below).
class suite_archive : public testing::Test {
 protected:
  void SetUp() override {
#if !defined(_WIN32)
    ASSERT_NE(nullptr, std::setlocale(LC_CTYPE, "C.UTF-8"));
#endif
  }
  void TearDown() override { std::setlocale(LC_CTYPE, "C"); }
};

// ---------------------------------------------------------------------------------------------
// Round trips

TEST_F(suite_archive, default_record_writes_every_element_in_order_and_loads_back) {
  const suite_impl fresh;
  EXPECT_EQ(4u, fresh.m_archive_version);
  const std::string text = save(fresh);

  std::vector<std::string> elements;
  const std::regex start_tag("<(\\w+)[ >]");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), start_tag); it != std::sregex_iterator(); ++it) {
    elements.push_back((*it)[1]);
  }
  const std::vector<std::string> expected = {
      "boost_serialization", "suite", "m_user_name", "m_user_site", "m_login_urls", "count",
      "item_version", "m_login_success", "m_machine_id", "m_user_id", "m_last_synchronize_time",
      "m_msg_system_data", "m_last_used_language", "m_product_id", "m_partner_id", "m_version",
      "m_suite_name", "m_suite_launcher_path", "m_suite_msgsys_path", "m_community_url",
      "m_service_name", "m_service_end_point", "m_update_end_point", "m_update_url",
      "m_update_paths", "count", "item_version", "m_proxy", "m_proxy_enabled", "m_proxy_server",
      "m_proxy_port", "m_parameters", "m_login_parameters", "m_used_flag"};
  EXPECT_EQ(expected, elements);
  EXPECT_NE(std::string::npos, text.find("<suite class_id=\"0\" tracking_level=\"0\" version=\"4\">"));

  suite_impl loaded = full_record();
  load(text, loaded);
  expect_same(fresh, loaded);
  expect_same(fresh, *load_new(text));
}

TEST_F(suite_archive, an_update_entry_writes_its_fields_in_order_and_starts_at_zero) {
  const update_impl entry;
  EXPECT_EQ(0, entry.m_update_mode);
  EXPECT_EQ(0, entry.m_update_type);
  suite_impl record;
  record.m_update_paths = {entry};
  const std::string items = element_text(save(record), "m_update_paths");
  EXPECT_NE(std::string::npos,
            items.find("<m_name></m_name>\n\t\t\t<m_code></m_code>\n\t\t\t<m_local></m_local>\n"
                       "\t\t\t<m_update_mode>0</m_update_mode>\n\t\t\t<m_update_type>0</m_update_type>"))
      << items;
}

TEST_F(suite_archive, empty_vector_is_a_count_of_zero_and_an_item_version) {
  const std::string text = save(suite_impl());
  for (const char* vector : {"m_login_urls", "m_update_paths"}) {
    EXPECT_EQ("\n\t\t<count>0</count>\n\t\t<item_version>0</item_version>\n\t", element_text(text, vector))
        << vector;
  }
}

TEST_F(suite_archive, full_record_loads_back_by_reference_and_through_a_pointer) {
  struct numbers {
    std::int64_t time;
    std::uint16_t port;
    std::int32_t login_success;
  };
  for (const numbers& n : {numbers{std::numeric_limits<std::int64_t>::max(), 65535, -1},
                           numbers{std::numeric_limits<std::int64_t>::min(), 0,
                                   std::numeric_limits<std::int32_t>::max()},
                           numbers{-1, 1, std::numeric_limits<std::int32_t>::min()}}) {
    suite_impl record = full_record();
    record.m_last_synchronize_time = n.time;
    record.m_proxy.m_proxy_port = n.port;
    record.m_login_success = n.login_success;
    const std::string text = save(record);
    EXPECT_EQ("3", element_text(element_text(text, "m_update_paths"), "count"));

    suite_impl loaded;
    loaded.m_update_paths.resize(5);  // more entries than the archive: exactly the three remain
    load(text, loaded);
    SCOPED_TRACE(n.time);
    expect_same(as_read_back(record), loaded);
    expect_same(as_read_back(record), *load_new(text));
  }
}

// ---------------------------------------------------------------------------------------------
// Older layouts

TEST_F(suite_archive, older_archives_load_their_elements_and_keep_the_later_fields) {
  for (unsigned int version : {0u, 1u, 2u, 3u}) {
    SCOPED_TRACE(version);
    const std::string text = read_fixture("version" + std::to_string(version) + ".xml");

    // By reference: the fields the layout lacks keep what the record held.
    suite_impl previous;
    previous.m_parameters = "/previous";
    previous.m_login_parameters = "previous=1";
    previous.m_used_flag = true;
    suite_impl expected = old_fixture_record(version);
    if (version < 2) expected.m_parameters = previous.m_parameters;
    if (version < 3) expected.m_login_parameters = previous.m_login_parameters;
    expected.m_used_flag = previous.m_used_flag;
    suite_impl loaded = previous;
    load(text, loaded);
    expect_same(expected, loaded);

    // Through a pointer: they keep the defaults of a new record.
    expect_same(old_fixture_record(version), *load_new(text));

    // Saved again: the current layout with every element, so it loads back as it is.
    const std::string saved = save(loaded);
    EXPECT_EQ(4u, loaded.m_archive_version);
    EXPECT_NE(std::string::npos, saved.find("tracking_level=\"0\" version=\"4\">"));
    suite_impl reloaded;
    load(saved, reloaded);
    expect_same(loaded, reloaded);
  }
}

// ---------------------------------------------------------------------------------------------
// Malformed archives

TEST_F(suite_archive, malformed_archive_throws_and_keeps_the_archive_version) {
  const std::string good = read_fixture("version3.xml");
  struct malformed {
    const char* what;
    std::function<std::string(std::string)> edit;
  };
  const auto replace = [](const std::string& from, const std::string& to) {
    return [from, to](std::string text) {
      const std::size_t at = text.find(from);
      return at == std::string::npos ? std::string("no ") + from : text.replace(at, from.size(), to);
    };
  };
  const malformed cases[] = {
      // The element after the missing one has a name no longer than the one expected: Boost 1.74
      // compares a longer name by reading past the end of the expected one (AddressSanitizer
      // reports it), a fault of the library that the record cannot guard against.
      {"missing element", replace("\t<m_user_name>anna</m_user_name>\n", "")},
      {"misnamed element", replace("<m_machine_id>M-1</m_machine_id>", "<m_machine>M-1</m_machine>")},
      {"bad number", replace("<m_login_success>1<", "<m_login_success>one<")},
      {"number beyond its type", replace("<m_proxy_port>8080<", "<m_proxy_port>65536<")},
      {"number beyond 64 bits", replace("<m_last_synchronize_time>1700000000<",
                                        "<m_last_synchronize_time>9223372036854775808<")},
      {"bad boolean", replace("<m_proxy_enabled>1<", "<m_proxy_enabled>yes<")},
      {"newer class version", replace("version=\"3\">", "version=\"5\">")},
      {"missing item", replace("<count>1</count>\n\t\t<item_version>0</item_version>\n\t\t<item>",
                               "<count>2</count>\n\t\t<item_version>0</item_version>\n\t\t<item>")},
      {"cut short", [](std::string text) { return text.substr(0, text.size() / 2); }},
  };
  for (const malformed& c : cases) {
    SCOPED_TRACE(c.what);
    suite_impl record;
    record.m_archive_version = 2;
    EXPECT_THROW(load(c.edit(good), record), boost::archive::archive_exception);
    EXPECT_EQ(2u, record.m_archive_version);
  }
  // Loading through a pointer fails with the same exceptions, but Boost 1.74 then leaks the record
  // it made (the LeakSanitizer tree reports it), so the cases above load by reference only.

  // A load that fails part-way has changed the fields before the fault and no others.
  suite_impl record;
  EXPECT_THROW(load(cases[2].edit(good), record), boost::archive::archive_exception);  // bad number
  EXPECT_EQ(L"anna", record.m_user_name);
  EXPECT_EQ(L"", record.m_machine_id);
}

// ---------------------------------------------------------------------------------------------
// Archives of the other tree

#if defined(_WIN32)
const char* const this_trees_fixture = "written_by_mingw.xml";
#else
const char* const this_trees_fixture = "written_by_native.xml";
#endif

TEST_F(suite_archive, writer_output_matches_this_trees_fixture_byte_for_byte) {
  const std::string text = save(full_record());
  if (std::getenv("KESTOR_WRITE_FIXTURES") != nullptr) {
    std::ofstream(fixture_path(this_trees_fixture), std::ios::binary) << text;
    GTEST_SKIP() << "wrote " << fixture_path(this_trees_fixture);
  }
  EXPECT_EQ(read_fixture(this_trees_fixture), text);
}

TEST_F(suite_archive, archives_of_both_trees_load_to_the_same_record) {
  for (const char* name : {"written_by_native.xml", "written_by_mingw.xml"}) {
    SCOPED_TRACE(name);
    suite_impl loaded;
    load(read_fixture(name), loaded);
    expect_same(as_read_back(full_record()), loaded);
  }
  // Below U+10000 both writers put down the same bytes.
  EXPECT_EQ(read_fixture("written_by_native.xml"), read_fixture("written_by_mingw.xml"));
}

// ---------------------------------------------------------------------------------------------
// Wide text outside ASCII: what each tree's library does with it

// U+1F600 takes two UTF-16 units (Windows) but one 32-bit wchar_t (glibc).
const std::wstring beyond_bmp = L"\U0001F600";
const std::string beyond_bmp_utf8 = "\xF0\x9F\x98\x80";
const std::string beyond_bmp_per_unit = "\xED\xA0\xBD\xED\xB8\x80";  // each surrogate alone

std::string archive_with_user_name_bytes(const std::string& bytes) {
  return with_element_text(save(suite_impl()), "m_user_name", bytes);
}

#if !defined(_WIN32)

TEST_F(suite_archive, glibc_needs_a_utf8_ctype_to_read_wide_text) {
  const std::string text = save(full_record());
  std::setlocale(LC_CTYPE, "C");
  suite_impl loaded;
  // Boost reports this with its iterator exception, not with an archive exception.
  EXPECT_THROW(load(text, loaded), boost::archive::iterators::dataflow_exception);
}

TEST_F(suite_archive, glibc_writes_and_reads_characters_beyond_the_bmp_as_one_utf8_sequence) {
  suite_impl record;
  record.m_user_name = beyond_bmp;
  const std::string text = save(record);
  EXPECT_EQ(beyond_bmp_utf8, element_text(text, "m_user_name"));
  suite_impl loaded;
  load(text, loaded);
  EXPECT_EQ(beyond_bmp, loaded.m_user_name);

  // The MinGW writer's form of the same character is no UTF-8 that glibc accepts.
  EXPECT_THROW(load(archive_with_user_name_bytes(beyond_bmp_per_unit), loaded),
               boost::archive::iterators::dataflow_exception);
}

#else

TEST_F(suite_archive, msvcrt_reads_utf8_as_bytes_whatever_ctype_is_asked_for) {
  suite_impl record;
  record.m_user_name = L"\u00fc";
  const std::string text = save(record);
  EXPECT_EQ("\xC3\xBC", element_text(text, "m_user_name"));
  // Windows' msvcrt refuses a UTF-8 code page for LC_CTYPE (setlocale gives NULL); Wine's accepts
  // the request but stays at "C". MinGW's mbrtowc handles one- and two-byte code pages only.
  for (const char* ctype : {"C", ".65001", ".UTF-8"}) {
    std::setlocale(LC_CTYPE, ctype);
    suite_impl loaded;
    load(text, loaded);
    EXPECT_EQ(L"\u00c3\u00bc", loaded.m_user_name) << ctype;
  }
}

TEST_F(suite_archive, mingw_writes_characters_beyond_the_bmp_per_utf16_unit_and_reads_bytes) {
  suite_impl record;
  record.m_user_name = beyond_bmp;
  EXPECT_EQ(beyond_bmp_per_unit, element_text(save(record), "m_user_name"));

  suite_impl loaded;
  for (const std::string& bytes : {beyond_bmp_utf8, beyond_bmp_per_unit}) {
    load(archive_with_user_name_bytes(bytes), loaded);
    EXPECT_EQ(widened_bytes(bytes), loaded.m_user_name);
  }
}

#endif

}  // namespace
