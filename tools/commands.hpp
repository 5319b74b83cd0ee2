#pragma once
// The commands of kestor-pack. Each takes the arguments after its name and returns the exit
// code; usage_error and tool_error leave it for the caller to report.
#include <string>
#include <vector>

using arguments = std::vector<std::string>;

int create_command(const arguments& args);
int list_command(const arguments& args);
int extract_command(const arguments& args);

// Whether the arguments ask for the command's help.
bool wants_help(const arguments& args);
