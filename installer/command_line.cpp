#include "installer/command_line.hpp"

#include <algorithm>

#include "archive/expand_variables.hpp"
#include "installer/work_directory_path.hpp"

namespace {

// Only ASCII letters change, so positions in the copy are positions in the original whatever
// the code page of the other bytes.
std::string ascii_upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  return text;
}

// Puts `item` at the front of the quoted text of the first /V switch of `text` (exact case):
// after the quote of /V"..., in new quotes right after a bare /V, or as a new /V"..." at the end.
std::string put_in_v_switch(std::string text, const std::string& item) {
  const auto bare = text.find("/V");
  const auto quoted = text.find("/V\"");
  if (bare == std::string::npos) {
    text += "/V\"" + item + "\"";
  } else if (quoted != std::string::npos) {
    text.insert(quoted + 3, item + " ");
  } else {
    text.insert(bare + 2, "\"" + item + "\"");
  }
  return text;
}

}  // namespace

bool has_silent_switch(const std::string& command_line) {
  return command_line.find("/s") != std::string::npos;
}

std::string split_command_line(const std::string& command_line, variable_table& table) {
  try {
    const std::string upper = ascii_upper(command_line);
    const auto bare = upper.find("/V");
    if (bare == std::string::npos) {
      table.set("commandline", command_line);
      return {};
    }
    std::string rest = command_line;
    std::string text;
    // A quoted switch is taken even when a bare one stands before it: its text may hold blanks
    // followed by slashes, which a bare switch cannot carry.
    const auto quoted = upper.find("/V\"");
    if (quoted != std::string::npos) {
      const auto close = command_line.find('"', quoted + 3);
      const auto text_end = close == std::string::npos ? command_line.size() : close;
      text = command_line.substr(quoted + 3, text_end - (quoted + 3));
      rest.erase(quoted, close == std::string::npos ? std::string::npos : close + 1 - quoted);
    } else {
      // A bare switch runs up to the next switch; the blank in front of that switch stays.
      auto end = command_line.find(" /", bare);
      if (end == std::string::npos) end = command_line.size();
      text = command_line.substr(bare + 2, end - (bare + 2));
      rest.erase(bare, end - bare);
    }
    table.set("commandline", rest);
    return text;
  } catch (...) {
    table.set("commandline", command_line);
    return {};
  }
}

void merge_parameters(variable_table& table, const std::string& user_v_text) {
  try {
    const std::string merged = put_in_v_switch(table.get("parameters"), user_v_text);
    table.set("parameters", table.get("commandline") + " " + merged);
  } catch (...) {
    // The archive's parameters stay as they were; the payload still gets a usable command line.
  }
}

std::string msi_log_path(const std::string& work_directory) {
  return parent_directory(work_directory) + "\\ZEMPO_msi.log.txt";
}

void add_msi_log(variable_table& table, const std::string& work_directory,
                 const reset_file_attributes_function& reset_attributes) {
  try {
    if (table.get("msilog") != "ON") return;
    const std::string log = msi_log_path(work_directory);
    // A read-only log left by an earlier run would make the payload's installer fail to write it.
    if (reset_attributes) reset_attributes(log);
    table.set("parameters", put_in_v_switch(table.get("parameters"), "/l*v \"" + log + "\""));
  } catch (...) {
    // The log option is optional: the parameters stay as they were.
  }
}

std::string payload_file(variable_table& table, const std::string& work_directory) {
  return work_directory + expand_variables(table.get("executable32"), table);
}
