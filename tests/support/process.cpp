#include "tests/support/process.hpp"

#include <vector>

#include "tests/support/system_error.hpp"

namespace test_support {

process::process(unique_handle handle, DWORD id) : m_handle(std::move(handle)), m_id(id) {}

process::~process() {
  if (m_handle && running()) {
    TerminateProcess(m_handle.get(), 1);
    WaitForSingleObject(m_handle.get(), 5000);
  }
}

bool process::wait(std::chrono::milliseconds timeout) {
  DWORD result = WaitForSingleObject(m_handle.get(), static_cast<DWORD>(timeout.count()));
  if (result == WAIT_FAILED) {
    throw_last_error("WaitForSingleObject");
  }
  return result == WAIT_OBJECT_0;
}

DWORD process::wait() {
  if (WaitForSingleObject(m_handle.get(), INFINITE) == WAIT_FAILED) {
    throw_last_error("WaitForSingleObject");
  }
  return exit_code();
}

bool process::running() const {
  return WaitForSingleObject(m_handle.get(), 0) == WAIT_TIMEOUT;
}

DWORD process::exit_code() const {
  // STILL_ACTIVE (259) is also a legal exit code, so ask the handle whether the process ended.
  if (running()) {
    throw std::runtime_error("process " + std::to_string(m_id) + " is still running");
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(m_handle.get(), &code)) {
    throw_last_error("GetExitCodeProcess");
  }
  return code;
}

void process::kill(UINT code) {
  if (!TerminateProcess(m_handle.get(), code) && running()) {
    throw_last_error("TerminateProcess");
  }
  wait();
}

process start_process(const std::string& application, const std::string& command_line,
                      const process_options& options) {
  // CreateProcessA may write into the command line, so it gets a copy.
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  std::string environment;
  if (!options.environment.empty()) {
    environment = make_environment_block(options.environment);
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(application.empty() ? nullptr : application.c_str(), line.data(), nullptr,
                      nullptr, FALSE, 0, environment.empty() ? nullptr : environment.data(),
                      options.working_directory.empty() ? nullptr : options.working_directory.c_str(),
                      &startup, &info)) {
    throw_last_error("CreateProcessA of [" + command_line + "]");
  }
  unique_handle thread(info.hThread);
  return process(unique_handle(info.hProcess), info.dwProcessId);
}

DWORD run_process(const std::string& application, const std::string& command_line,
                  const process_options& options) {
  process child = start_process(application, command_line, options);
  if (!child.wait(options.timeout)) {
    child.kill();
    throw std::runtime_error("[" + command_line + "] did not end within " +
                             std::to_string(options.timeout.count()) + " ms");
  }
  return child.exit_code();
}

}  // namespace test_support
