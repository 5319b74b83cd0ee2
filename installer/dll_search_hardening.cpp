#include "installer/dll_search_hardening.hpp"

#include <windows.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void restrict_dll_search_to_system() {
  // Looked up at run time: the call is missing on systems without the update.
  using set_default_dll_directories_function = BOOL(WINAPI*)(DWORD);
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  if (!kernel32) return;
  const auto set_default_dll_directories = reinterpret_cast<set_default_dll_directories_function>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  if (set_default_dll_directories) set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
