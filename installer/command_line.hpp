#pragma once
// Composition of the payload's command line from the user's arguments and the archive's values.
// Pure string logic on the run's variable table, so that it is tested natively and shared with
// the packer's dry run; the one system call involved (resetting the MSI log's attributes) is
// passed in by the caller.
#include <functional>
#include <string>

#include "archive/variable_table.hpp"

// True when the command line holds "/s" anywhere (lower-case s only), also inside a longer word
// or a /V text. The switch is not removed: it reaches the payload with the rest.
bool has_silent_switch(const std::string& command_line);

// Cuts the user's /V switch out of the command line: the first quoted /V"..." if there is one,
// otherwise the first /V (either letter case). Stores the rest as "commandline" and returns the
// switch's text without its quotes. Should anything fail, "commandline" is the whole command line
// and the text is empty.
std::string split_command_line(const std::string& command_line, variable_table& table);

// Merges the user's /V text into the /V switch of "parameters" and puts "commandline" in front.
// Should anything fail, "parameters" keeps the value it had.
void merge_parameters(variable_table& table, const std::string& user_v_text);

// Makes an existing MSI log file writable again, so that the payload can overwrite it; the
// Windows build resets its attributes, other builds pass a no-op. Failures are the callee's to
// ignore.
using reset_file_attributes_function = std::function<void(const std::string& path)>;

// The MSI log file beside the work directory (it outlives the work directory's removal).
std::string msi_log_path(const std::string& work_directory);

// When "msilog" is exactly "ON": resets the log file's attributes through `reset_attributes`
// and puts the verbose log option for it at the start of the /V text in "parameters". Should
// anything fail, "parameters" keeps the value it had.
void add_msi_log(variable_table& table, const std::string& work_directory,
                 const reset_file_attributes_function& reset_attributes);

// The payload program: the work directory (with its trailing backslash) followed by the expanded
// "executable32"; the work directory itself when that value is absent or empty.
std::string payload_file(variable_table& table, const std::string& work_directory);
