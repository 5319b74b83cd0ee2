// The payload of end-to-end tests: reports how it was started and exits with the code it is
// told. What it does is described in payload_report.hpp; it reads its instructions from the
// environment only, because its command line is what the tests examine.
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/file_io.hpp"
#include "tests/support/payload_report.hpp"
#include "tests/support/scoped_env_var.hpp"
#include "plinth/unique_handle.hpp"

namespace {

using namespace test_support;
using plinth::unique_handle;

// Decimal, all of it, either a DWORD or a negative int with the same 32 bits.
std::optional<std::uint32_t> parse_exit_code(const std::string& text) {
  if (text.empty()) {
    return std::nullopt;
  }
  errno = 0;
  char* end = nullptr;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < -2147483648LL || value > 4294967295LL) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

std::string current_directory() {
  DWORD length = GetCurrentDirectoryA(0, nullptr);
  std::string directory(length, '\0');
  length = GetCurrentDirectoryA(static_cast<DWORD>(directory.size()), directory.data());
  directory.resize(length);
  return directory;
}

bool write_report(const std::string& path) {
  payload_report report{GetCommandLineA(), current_directory()};
  std::string partial = path + ".partial";
  try {
    write_file(partial, format_payload_report(report));
  } catch (const std::exception&) {
    return false;
  }
  return MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

// The test usually creates the event first; creating it here too makes the order not matter.
bool wait_for_release(const std::string& event_name) {
  unique_handle event(OpenEventA(SYNCHRONIZE, FALSE, event_name.c_str()));
  if (!event) {
    event.reset(CreateEventA(nullptr, TRUE, FALSE, event_name.c_str()));
  }
  return event && WaitForSingleObject(event.get(), 120000) == WAIT_OBJECT_0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::uint32_t code = 0;
  if (auto text = get_env_var(payload_exit_variable)) {
    auto parsed = parse_exit_code(*text);
    if (!parsed) {
      return static_cast<int>(payload_exit_invalid);
    }
    code = *parsed;
  }
  if (auto report = get_env_var(payload_report_variable); report && !write_report(*report)) {
    return static_cast<int>(payload_report_failed);
  }
  if (auto event_name = get_env_var(payload_wait_variable); event_name && !wait_for_release(*event_name)) {
    return static_cast<int>(payload_wait_failed);
  }
  ExitProcess(code);
}
