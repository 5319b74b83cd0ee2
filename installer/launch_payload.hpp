#pragma once
// Starting the payload through the shell and passing its exit code on.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

// The shell's launch call; tests put a stand-in in its place.
using shell_execute_function = std::function<BOOL(SHELLEXECUTEINFOA* info)>;

// Starts `file` with `parameters` in `start_directory` with the file's default verb, shown
// normally, waits for it without a time-out and returns its exit code unchanged (any 32-bit
// value). Returns 1 after a message box (unless silent) when the file is empty or cannot be
// started, or when the wait or the exit code fails. With `log_ready` the launch is logged first:
// an empty line, the product name, "File: ...", "Parameters: ...", an empty line.
int launch_payload(const std::string& file, const std::string& parameters,
                   const std::string& start_directory, bool silent, bool log_ready,
                   const std::wstring& product_name);

// The same with the given launch call in place of ShellExecuteExA.
int launch_payload(const std::string& file, const std::string& parameters,
                   const std::string& start_directory, bool silent, bool log_ready,
                   const std::wstring& product_name, const shell_execute_function& shell_execute);
