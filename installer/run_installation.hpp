#pragma once
// The whole run of the stub, from the single-instance lock to the exit code.
#include <windows.h>

// The body of WinMain: `command_line` is the process command line without the program's name.
// Returns the payload's exit code when it ran, 1 for every failure of the stub itself.
int run_installation(HINSTANCE instance, const char* command_line);
