#include "tests/support/test_programs.hpp"

#include <windows.h>

#include <memory>
#include <stdexcept>

namespace test_support {
namespace {

struct process_heap_free {
  void operator()(wchar_t* text) const { HeapFree(GetProcessHeap(), 0, text); }
};

}  // namespace

std::string windows_path(const std::string& path) {
  if (path.empty() || path[0] != '/') {
    return path;
  }
  // Wine's own mapping of host paths to drives; it allocates the result on the process heap.
  using dos_file_name = wchar_t*(CDECL*)(const char*);
  auto convert = reinterpret_cast<dos_file_name>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  if (convert == nullptr) {
    throw std::runtime_error("not running under Wine: cannot map " + path);
  }
  std::unique_ptr<wchar_t, process_heap_free> wide(convert(path.c_str()));
  if (!wide) {
    throw std::runtime_error("Wine cannot map " + path);
  }
  int length = WideCharToMultiByte(CP_ACP, 0, wide.get(), -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.get(), -1, narrow.data(), length, nullptr, nullptr);
  if (!narrow.empty()) {
    narrow.pop_back();
  }
  return narrow;
}

std::string payload_exe() {
  return windows_path(KESTOR_TEST_PAYLOAD_EXE);
}

}  // namespace test_support
