#include "installer/launch_payload.hpp"

#include "installer/show_message.hpp"
#include "installer/work_directory_path.hpp"
#include "plinth/log/log.hpp"
#include "plinth/unique_handle.hpp"

#if !defined(_WIN64)
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "the launch record of 32-bit Windows");
#endif

int launch_payload(const std::string& file, const std::string& parameters,
                   const std::string& start_directory, bool silent, bool log_ready,
                   const std::wstring& product_name) {
  return launch_payload(file, parameters, start_directory, silent, log_ready, product_name,
                        [](SHELLEXECUTEINFOA* info) { return ShellExecuteExA(info); });
}

int launch_payload(const std::string& file, const std::string& parameters,
                   const std::string& start_directory, bool silent, bool log_ready,
                   const std::wstring& product_name, const shell_execute_function& shell_execute) {
  // No owner window and no verb: the file's default verb, as a double click would do.
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  // The shell's own error dialogs would stop an unattended run until someone closes them.
  if (silent) info.fMask |= SEE_MASK_FLAG_NO_UI;
  // Under a drive root the start directory is "C:", which would start the payload in the work
  // directory, the current one of this process.
  const std::string directory = directory_argument(start_directory);
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = directory.c_str();
  info.nShow = SW_SHOWNORMAL;

  if (log_ready) {
    plinth::log::writef("");
    plinth::log::write_w(product_name);
    plinth::log::writef("File: %s", file.c_str());
    plinth::log::writef("Parameters: %s", parameters.c_str());
    plinth::log::writef("");
  }

  if (file.empty() || !shell_execute(&info)) {
    show_message(silent, "Unable to spawn process", "ShellExecuteEx failed");
    return 1;
  }
  const plinth::unique_handle process(info.hProcess);

  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0) {
    show_message(silent, "Unable to wait for process", "WaitForSingleObject failed");
    return 1;
  }
  DWORD exit_code = 0;
  if (!GetExitCodeProcess(process.get(), &exit_code)) {
    show_message(silent, "Unable to get process exit code", "GetExitCodeProcess failed");
    return 1;
  }
  // All 32 bits: codes above 255 and negative ones mean something to the payload's callers.
  return static_cast<int>(exit_code);
}
