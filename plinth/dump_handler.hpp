#pragma once
// Minidumps of crashes: once installed, an exception that nothing handles writes a dump of the
// process to a file named when the handler was installed, and then takes its usual course.
#include <string>

#include <windows.h>

namespace plinth {

// Loads the system's dbghelp.dll, fixes the dump file as base_path + "." + the current time in
// seconds + ".dmp", and makes dump_filter the top-level exception filter. True when dbghelp offers
// MiniDumpWriteDump. Without dbghelp nothing is installed and false is returned (a later call
// tries again); once it is loaded, later calls change nothing and give the same answer.
bool install_dump_handler(const std::string& base_path);

// The top-level filter: writes the dump (replacing an earlier one of the same name), then returns
// what the filter in place before installation returns, or EXCEPTION_CONTINUE_SEARCH so that the
// system's own crash handling follows.
LONG WINAPI dump_filter(EXCEPTION_POINTERS* info);

// Puts the earlier filter back and unloads dbghelp; run at process exit.
void uninstall_dump_handler();

}  // namespace plinth
