#include "installer/run_installation.hpp"

#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "archive/expand_variables.hpp"
#include "archive/extract_archive.hpp"
#include "archive/variable_table.hpp"
#include "config/configuration.hpp"
#include "installer/command_line.hpp"
#include "installer/installer_language.hpp"
#include "installer/launch_payload.hpp"
#include "installer/module_path.hpp"
#include "installer/reset_file_attributes.hpp"
#include "installer/show_message.hpp"
#include "installer/work_directory.hpp"
#include "installer/work_directory_path.hpp"
#include "plinth/log/file.hpp"
#include "plinth/log/log.hpp"
#include "plinth/real_mutex.hpp"

namespace {

constexpr char instance_mutex_name[] = "Tovrelin.Installation";
constexpr char log_base_name[] = "Kestor";

constexpr char already_running_text[] =
    "Another installation is already running or in the process of starting up.\n"
    "Please wait until the other installation has completed before trying again.";
constexpr char already_running_caption[] = "Already Running";
constexpr char no_working_directory_text[] = "Unable to set Working Directory";
constexpr char no_working_directory_caption[] = "SetCurrentDirectory failed";
constexpr char invalid_archive_text[] =
    "We are sorry, but your installation / update did not complete due to unexpected download "
    "errors.\r\nPlease download full version of the program";
constexpr char invalid_archive_caption[] = "Invalid Archive!";
constexpr char unhandled_text[] = "Unhandled Exception";
constexpr char no_context_caption[] = "No context available";

// The log is optional: a run that cannot write it goes on without it.
bool open_log() {
  try {
    std::unique_ptr<plinth::log::file> listener(new plinth::log::file(get_temp_path() + log_base_name));
    plinth::log::attach(listener.get());
    listener.release();
    return true;
  } catch (...) {
    return false;
  }
}

// Steps from the lock to the removal of the work directory. Exceptions leave it to the caller's
// handler, which leaves the work directory in place for inspection.
int install(HINSTANCE instance, const std::string& command_line, bool silent, bool log_ready,
            variable_table& table) {
  config::bootstrap(instance);

  std::optional<plinth::real_mutex> instance_mutex;
  instance_mutex.emplace(instance_mutex_name);
  if (!instance_mutex->try_lock(0)) {
    show_message(silent, already_running_text, already_running_caption);
    return 1;
  }

  const std::string work_directory = make_work_directory(silent);
  if (work_directory.empty() || !SetCurrentDirectoryA(work_directory.c_str())) {
    show_message(silent, no_working_directory_text, no_working_directory_caption);
    return 1;
  }

  table.set("source", work_directory.substr(0, work_directory.size() - 1));
  const std::string user_v_text = split_command_line(command_line, table);

  const bool archive_ok = extract_archive(module_path(), work_directory, silent, table);
  merge_parameters(table, user_v_text);
  add_msi_log(table, work_directory, reset_file_attributes);

  int exit_code = 1;
  if (!archive_ok) {
    show_message(silent, invalid_archive_text, invalid_archive_caption);
  } else {
    const std::wstring product = config::product_name();
    const std::string parameters = add_language(expand_variables(table.get("parameters"), table), product);
    const std::string payload = payload_file(table, work_directory);
    exit_code = launch_payload(payload, parameters, parent_directory(work_directory), silent, log_ready, product);
  }

  leave_work_directory(work_directory);
  // Only the handle is closed, never unlock: the system releases the mutex when this process
  // ends, and a stub waiting for it then finds it abandoned, which counts as acquired.
  instance_mutex.reset();
  return exit_code;
}

}  // namespace

int run_installation(HINSTANCE instance, const char* command_line) {
  variable_table table;
  int exit_code = 1;
  bool silent = false;
  try {
    const bool log_ready = open_log();
    silent = has_silent_switch(command_line);
    exit_code = install(instance, command_line, silent, log_ready, table);
  } catch (const std::exception& error) {
    show_message(silent, unhandled_text, error.what());
    exit_code = 1;
  } catch (...) {
    show_message(silent, unhandled_text, no_context_caption);
    exit_code = 1;
  }
  plinth::log::detach_all();
  return exit_code;
}
