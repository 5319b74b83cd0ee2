// Bootstraps the configuration without a module handle, so that crash dumps are prepared, and
// then crashes with an exception nothing handles. The argument is a folder that stands in for
// both application data folders, to keep the dump out of the user's own profile.
#include <string>

#include <windows.h>

#include "config/configuration.hpp"
#include "config/system_calls.hpp"
#include "plinth/unicode/convert.hpp"

namespace {

std::wstring data_folder;

HRESULT WINAPI given_folder(HWND, int, HANDLE, DWORD, LPWSTR path) {
  if (data_folder.size() >= MAX_PATH) return E_FAIL;
  path[data_folder.copy(path, MAX_PATH - 1)] = L'\0';
  return S_OK;
}

}  // namespace

// The code the crash ends the process with.
const DWORD crash_code = 0xE0C0DE01;

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  data_folder = plinth::unicode::to_wide(argv[1], CP_ACP);
  config::calls().folder_path = given_folder;
  config::bootstrap(nullptr);
  // The dump is named from the time of installation, so the crash comes clearly later.
  Sleep(1500);
  RaiseException(crash_code, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  return 3;
}
