#pragma once
// Starting a program exactly as a test needs it: the command line goes to CreateProcessA
// verbatim (the test controls argv[0] and every quote), and the exit code comes back with all
// 32 bits, which running a program through `wine` cannot give.
#include <windows.h>

#include <chrono>
#include <string>

#include "tests/support/environment_block.hpp"
#include "plinth/unique_handle.hpp"

namespace test_support {

using plinth::unique_handle;

struct process_options {
  // The child's current directory; empty: the test's own.
  std::string working_directory;
  // Variables added to (or replaced in) the test's environment for the child.
  environment_overrides environment;
  // How long run_process waits before it kills the child and throws.
  std::chrono::milliseconds timeout = std::chrono::seconds(120);
};

// A started child. A child still running when its owner goes away is terminated, so that a failed
// test leaves no process behind.
class process {
 public:
  process(unique_handle handle, DWORD id);
  process(process&&) noexcept = default;
  process& operator=(process&&) = delete;
  ~process();

  // True once the process has ended (within the timeout).
  bool wait(std::chrono::milliseconds timeout);
  // Waits for the end without time-out and returns the exit code.
  DWORD wait();
  bool running() const;
  // The exit code; throws while the process still runs.
  DWORD exit_code() const;
  // TerminateProcess with the given exit code, then waits for the end.
  void kill(UINT code = 1);

  DWORD id() const { return m_id; }
  HANDLE handle() const { return m_handle.get(); }

 private:
  unique_handle m_handle;
  DWORD m_id = 0;
};

// Starts `command_line` exactly as given. `application` is CreateProcessA's first argument:
// empty lets the system take the program from the command line.
process start_process(const std::string& application, const std::string& command_line,
                      const process_options& options = {});

// Starts, waits (at most options.timeout, then kills and throws) and returns the exit code.
DWORD run_process(const std::string& application, const std::string& command_line,
                  const process_options& options = {});

}  // namespace test_support
