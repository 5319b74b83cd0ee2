#include <windows.h>

#include "installer/dll_search_hardening.hpp"
#include "installer/run_installation.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  // Packages are started from download folders with administrator rights: no DLL is to be
  // picked up from there before the run loads any.
  restrict_dll_search_to_system();
  return run_installation(instance, command_line ? command_line : "");
}
