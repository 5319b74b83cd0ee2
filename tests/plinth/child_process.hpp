#pragma once
// Starting the helper programs of these tests as real processes, with an exact command line,
// and reading their full exit code (wine itself passes only 8 bits of it on).
#include <string>

#include <windows.h>

#include "plinth/unique_handle.hpp"

namespace plinth_test {

// The folder of the running test program, with its trailing backslash; the helper programs are
// built beside it.
inline std::string program_folder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.rfind('\\') + 1);
}

class child_process {
 public:
  // Starts program_folder() + program with the given arguments appended after a space.
  child_process(const std::string& program, const std::string& arguments) {
    std::string command_line = "\"" + program_folder() + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
      m_process.reset(info.hProcess);
      plinth::unique_handle thread(info.hThread);
    }
  }

  bool started() const { return m_process.valid(); }

  // The exit code once the process has ended; 0xFFFFFFFF if it does not end within the time.
  unsigned long wait(unsigned long milliseconds = 60000) {
    if (!m_process || WaitForSingleObject(m_process.get(), milliseconds) != WAIT_OBJECT_0) return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(m_process.get(), &code);
    return code;
  }

 private:
  plinth::unique_handle m_process;
};

}  // namespace plinth_test
