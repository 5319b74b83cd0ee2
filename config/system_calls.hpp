#pragma once
// The system calls through which the configuration finds its module and folders, and registers
// work for process exit, gathered in one table so that a test can put stand-ins in their place:
// a module path longer than any test machine offers, a user without a profile folder, or a count
// of exit registrations.
#include <windows.h>

namespace config {

struct system_calls {
  DWORD(WINAPI* module_file_name)(HMODULE module, LPWSTR buffer, DWORD capacity);
  HRESULT(WINAPI* folder_path)(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);
  int (*at_exit)(void (*function)());
};

// The table in use: GetModuleFileNameW, SHGetFolderPathW and std::atexit unless replaced. It is
// not synchronised; replace entries only while no other thread uses the configuration.
system_calls& calls();

}  // namespace config
