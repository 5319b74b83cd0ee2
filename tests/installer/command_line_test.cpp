// The payload's command line as the run composes it, from the user's command line and the
// archive's values, through the same steps in the same order as the driver.
#include "installer/command_line.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "archive/expand_variables.hpp"

namespace {

const std::string work = R"(C:\Temp\TVN123\)";
const std::string msi_log = R"(C:\Temp\ZEMPO_msi.log.txt)";

struct composition {
  std::string command_line;
  std::vector<std::pair<std::string, std::string>> archive_values;
  std::string commandline;
  std::string user_v_text;
  std::string parameters;  // after expansion: what the payload receives
  std::string file;        // the payload file
};

struct composed {
  std::string commandline;
  std::string user_v_text;
  std::string parameters;
  std::string file;
  std::vector<std::string> reset_paths;
};

composed compose(const composition& row) {
  variable_table table;
  composed out;
  table.set("source", work.substr(0, work.size() - 1));
  out.user_v_text = split_command_line(row.command_line, table);
  for (const auto& [key, value] : row.archive_values) table.insert_if_absent(key, value);
  merge_parameters(table, out.user_v_text);
  add_msi_log(table, work, [&](const std::string& path) { out.reset_paths.push_back(path); });
  out.parameters = expand_variables(table.get("parameters"), table);
  out.file = payload_file(table, work);
  out.commandline = table.get("commandline");
  return out;
}

const std::vector<composition> compositions = {
    // The worked examples.
    {"", {{"parameters", R"(/V"A=1 B=2")"}, {"msilog", "ON"}},
     "", "", R"( /V"/l*v "C:\Temp\ZEMPO_msi.log.txt"  A=1 B=2")", work},
    {"/s", {{"parameters", R"(/V"A=1 B=2")"}, {"msilog", "ON"}},
     "/s", "", R"(/s /V"/l*v "C:\Temp\ZEMPO_msi.log.txt"  A=1 B=2")", work},
    {R"(/s /v"X=1 Y=2" /qn)", {{"parameters", R"(/V"A=1 B=2")"}, {"msilog", "ON"}},
     "/s  /qn", "X=1 Y=2", R"(/s  /qn /V"/l*v "C:\Temp\ZEMPO_msi.log.txt" X=1 Y=2 A=1 B=2")", work},
    {"/VX=1 /qn", {{"parameters", R"(/V"A=1")"}}, " /qn", "X=1", R"( /qn /V"X=1 A=1")", work},
    {"/VX=1", {}, "", "X=1", R"( /V"X=1")", work},
    {R"(/V"X=1)", {{"parameters", R"(/V"A=1")"}}, "", "X=1", R"( /V"X=1 A=1")", work},
    {"/s", {{"parameters", "-q /VA=1"}}, "/s", "", R"(/s -q /V""A=1)", work},
    {"/L1033 /s", {{"parameters", R"(/V"A=1")"}}, "/L1033 /s", "", R"(/L1033 /s /V" A=1")", work},
    {"/x /verbose", {{"parameters", R"(/V"A=1")"}}, "/x ", "erbose", R"(/x  /V"erbose A=1")", work},
    // The payload file from a file entry's key, and a reference to the work directory.
    {"", {{"executable32", "%installer32%"}, {"installer32", "setup.exe"}},
     "", "", R"( /V"")", work + "setup.exe"},
    {"", {{"parameters", R"(/V"SRC=%source%")"}}, "", "", R"( /V" SRC=C:\Temp\TVN123")", work},

    // A quoted switch wins over an earlier bare one; the bare one reaches the payload as typed.
    {R"(/VA=1 /V"B=2")", {{"parameters", R"(/V"P=1")"}}, "/VA=1 ", "B=2", R"(/VA=1  /V"B=2 P=1")", work},
    // Only the first quoted switch is cut out.
    {R"(/V"A=1" /V"B=2")", {}, R"( /V"B=2")", "A=1", R"( /V"B=2" /V"A=1")", work},
    // Lower case, no closing quote, at the very start: the rest of the line is the text, case kept.
    {R"(/v"Name=Ab /qn)", {}, "", "Name=Ab /qn", R"( /V"Name=Ab /qn")", work},
    // A bare text runs to the next " /": blanks inside stay, and so does the blank before.
    {"/a /VX=1 Y=2 /b", {}, "/a  /b", "X=1 Y=2", R"(/a  /b /V"X=1 Y=2")", work},
    // "/s" inside the /V text is cut out with it (the run is silent all the same).
    {R"(/V"A=/s")", {}, "", "A=/s", R"( /V"A=/s")", work},
    // Without archive parameters the user text gets a /V switch of its own; msilog still applies.
    {"", {{"msilog", "ON"}}, "", "", R"( /V"/l*v "C:\Temp\ZEMPO_msi.log.txt" ")", work},
    // Only "ON" exactly asks for the log.
    {"", {{"parameters", R"(/V"A=1")"}, {"msilog", "on"}}, "", "", R"( /V" A=1")", work},
    {"", {{"parameters", R"(/V"A=1")"}, {"msilog", "ON "}}, "", "", R"( /V" A=1")", work},
    {"", {{"parameters", R"(/V"A=1")"}, {"msilog", "On"}}, "", "", R"( /V" A=1")", work},
    // Archive values cannot replace what the run set itself.
    {"/q", {{"commandline", "/evil"}, {"source", "D:\\elsewhere"}, {"parameters", R"(/V"S=%source%")"}},
     "/q", "", R"(/q /V" S=C:\Temp\TVN123")", work},
    // The user's text reaches the expansion too; an unknown reference stays as typed.
    {R"(/V"P=%source% Q=%nothing%")", {}, "", "P=%source% Q=%nothing%",
     R"( /V"P=C:\Temp\TVN123 Q=%nothing%")", work},
    // Keys read before the expansion exist, empty, so references to them vanish.
    {"", {{"parameters", R"(/V"M=%msilog%")"}}, "", "", R"( /V" M=")", work},
    // No or an empty executable32: the work directory itself.
    {"", {}, "", "", R"( /V"")", work},
    {"", {{"executable32", ""}}, "", "", R"( /V"")", work},
    {"", {{"executable32", "sub\\%name%.exe"}, {"name", "Setup"}}, "", "", R"( /V"")",
     work + "sub\\Setup.exe"},
};

TEST(command_line, composes_every_case_as_the_run_does) {
  for (const composition& row : compositions) {
    SCOPED_TRACE("command line [" + row.command_line + "]");
    const composed out = compose(row);
    EXPECT_EQ(out.commandline, row.commandline);
    EXPECT_EQ(out.user_v_text, row.user_v_text);
    EXPECT_EQ(out.parameters, row.parameters);
    EXPECT_EQ(out.file, row.file);

    bool wants_log = false;
    for (const auto& [key, value] : row.archive_values) wants_log |= key == "msilog" && value == "ON";
    EXPECT_EQ(out.reset_paths, wants_log ? std::vector<std::string>{msi_log} : std::vector<std::string>{});
  }
}

TEST(command_line, silent_switch_is_lower_case_slash_s_anywhere) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"/s", true},          {"/S", false},          {"/silent", true}, {"/sms", true},
      {"/qn /s /x", true},   {R"(/V"A=/s")", true},  {"", false},       {"s /", false},
      {R"("a/s b")", true},  {"/SILENT /S", false},
  };
  for (const auto& [command_line, silent] : cases) {
    EXPECT_EQ(has_silent_switch(command_line), silent) << "[" << command_line << "]";
  }
}

// The log option when "parameters" has no quoted /V switch, which happens only when merging
// failed and left the archive's value in place.
TEST(command_line, msi_log_goes_into_any_form_of_v_switch) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"-q", R"(-q/V"/l*v "C:\Temp\ZEMPO_msi.log.txt"")"},
      {"-q /VA=1", R"(-q /V"/l*v "C:\Temp\ZEMPO_msi.log.txt""A=1)"},
      {R"(/VA=1 /V"B=2")", R"(/VA=1 /V"/l*v "C:\Temp\ZEMPO_msi.log.txt" B=2")"},
  };
  for (const auto& [before, after] : cases) {
    variable_table table;
    table.set("parameters", before);
    table.set("msilog", "ON");
    add_msi_log(table, work, nullptr);
    EXPECT_EQ(table.get("parameters"), after);
  }
}

// The log lies beside the work directory, also when that is right under a drive root.
TEST(command_line, msi_log_path_is_beside_the_work_directory) {
  EXPECT_EQ(msi_log_path(work), msi_log);
  EXPECT_EQ(msi_log_path(R"(C:\TVN5\)"), R"(C:\ZEMPO_msi.log.txt)");
}

}  // namespace
