#pragma once
// The payload program of end-to-end tests (kestor_test_payload.exe) and the report it writes.
//
// The payload takes no instruction from its command line, since the command line is what a test
// examines. Its environment steers it:
//   KESTOR_PAYLOAD_REPORT  path of the report file to write (none written when unset)
//   KESTOR_PAYLOAD_EXIT    exit code in decimal: 0 .. 4294967295, or negative down to
//                          -2147483648 for the same 32 bits (-1 is 0xFFFFFFFF); 0 when unset
//   KESTOR_PAYLOAD_WAIT    name of a named event (see named_event.hpp); after writing the report
//                          the payload waits until the event is set, at most two minutes
//
// The report is written to a temporary file and then renamed, so once the report file exists it
// is complete, and the payload, if told to wait, is waiting. Its format, fields in this order,
// each a name, a space, the value's length in bytes in decimal, a line feed, the value's bytes
// exactly as they are, and a line feed:
//   command_line <n>\n<GetCommandLineA()>\n
//   current_directory <n>\n<GetCurrentDirectoryA()>\n
//
// Failures of the payload itself show in its exit code, never the one asked for.
#include <cstdint>
#include <string>

namespace test_support {

inline constexpr char payload_report_variable[] = "KESTOR_PAYLOAD_REPORT";
inline constexpr char payload_exit_variable[] = "KESTOR_PAYLOAD_EXIT";
inline constexpr char payload_wait_variable[] = "KESTOR_PAYLOAD_WAIT";

inline constexpr std::uint32_t payload_report_failed = 0xBADBAD01;  // report not written
inline constexpr std::uint32_t payload_wait_failed = 0xBADBAD02;    // event unusable or never set
inline constexpr std::uint32_t payload_exit_invalid = 0xBADBAD03;   // KESTOR_PAYLOAD_EXIT not a code

struct payload_report {
  std::string command_line;
  std::string current_directory;
};

std::string format_payload_report(const payload_report& report);
// Throws std::runtime_error on a malformed report.
payload_report parse_payload_report(const std::string& contents);
// Reads and parses the report file.
payload_report read_payload_report(const std::string& path);

}  // namespace test_support
