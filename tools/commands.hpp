#pragma once
// The commands of kestor-pack. Each takes the arguments after its name and returns the exit
// code; usage_error and tool_error leave it for the caller to report. Each has a help text,
// which the caller prints for --help.
#include <string>
#include <vector>

using arguments = std::vector<std::string>;

int create_command(const arguments& args);
int list_command(const arguments& args);
int extract_command(const arguments& args);
int explain_command(const arguments& args);

extern const char create_help[];
extern const char list_help[];
extern const char extract_help[];
extern const char explain_help[];
