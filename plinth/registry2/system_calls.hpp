#pragma once
// The system calls through which the registry library reads, gathered in one table so that a test
// can put stand-ins in their place: a refused write access, or a value that changes between two
// queries, cannot be provoked on every test machine.
#include <windows.h>

namespace plinth {
namespace registry2 {

struct system_calls {
  LONG(WINAPI* open_key)(HKEY parent, LPCWSTR path, DWORD options, REGSAM access, PHKEY result);
  LONG(WINAPI* query_value)(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
  DWORD(WINAPI* expand_strings)(LPCWSTR source, LPWSTR destination, DWORD capacity);
};

// The table in use: RegOpenKeyExW, RegQueryValueExW and ExpandEnvironmentStringsW unless replaced.
// It is not synchronised; replace entries only while no other thread uses the library.
system_calls& calls();

}  // namespace registry2
}  // namespace plinth
