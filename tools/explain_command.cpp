// kestor-pack explain: a dry run of the stub on a package. It reads the package with the stub's
// extraction and composes the payload's command line with the stub's own functions, in the
// stub's order, without writing or starting anything.
#include <ctime>
#include <iostream>
#include <limits>
#include <memory>
#include <stdexcept>

#include "archive/expand_variables.hpp"
#include "archive/extract_archive.hpp"
#include "archive/failure_reporter.hpp"
#include "archive/output_file.hpp"
#include "archive/variable_table.hpp"
#include "installer/command_line.hpp"
#include "installer/installer_language.hpp"
#include "installer/work_directory_path.hpp"
#include "tools/argument_cursor.hpp"
#include "tools/commands.hpp"
#include "tools/json_writer.hpp"
#include "tools/quoted_text.hpp"
#include "tools/tool_error.hpp"

const char explain_help[] =
    "Usage: kestor-pack explain PACKAGE [--command-line TEXT] [--temp DIR] [--language N]\n"
    "                           [--work-number N] [--json]\n"
    "\n"
    "Shows what the stub would do when started from PACKAGE: the payload file it would start,\n"
    "the exact parameter string it would hand to it and the start directory, composed by the\n"
    "stub's own functions (the /V split and merge, the MSI log option, the %name% expansion,\n"
    "the /L language) from the archive as the stub reads it. Nothing is written or run.\n"
    "\n"
    "  --command-line TEXT   the command line the user starts the package with, without the\n"
    "                        program's name (default: empty); \"/s\" in it means silent\n"
    "  --temp DIR            the user's temporary directory (default: C:\\Temp\\)\n"
    "  --language N          the \"InstallerLanguage\" the product's uninstall registration holds\n"
    "                        (default: none)\n"
    "  --work-number N       the number of the work directory TVN<N>\\ (default: taken from the\n"
    "                        current time, as the stub does)\n"
    "  --json                the same as one JSON object (texts as in 'list --json')\n"
    "\n"
    "Exit code 0 when the stub would start the payload, 1 when it would end with exit code 1\n"
    "instead (an archive it does not accept), 2 for a wrong command line.\n";

namespace {

// The extraction's files go nowhere: only what it reads matters here.
class discarded_files : public output_file_system {
 public:
  std::unique_ptr<output_file> create(const std::string& path, os_error&) override {
    created.push_back(path);
    return std::make_unique<discarded_file>();
  }
  void remove(const std::string&) override {}

  std::vector<std::string> created;

 private:
  class discarded_file : public output_file {
   public:
    bool write(const void*, std::size_t, os_error&) override { return true; }
  };
};

// The message boxes the extraction would show.
class noted_failures : public failure_reporter {
 public:
  void report(const std::string& caption, const std::string& path, os_error code) override {
    boxes.push_back({caption, failure_text(path, code)});
  }

  struct box {
    std::string caption;
    std::string text;
  };
  std::vector<box> boxes;
};

struct explain_options {
  std::string package;
  std::string command_line;
  std::string temp = "C:\\Temp\\";
  std::string language;
  bool work_number_given = false;
  std::int32_t work_number = 0;
  bool json = false;
};

explain_options parse(const arguments& args) {
  explain_options options;
  argument_cursor cursor(args);
  while (!cursor.done()) {
    const std::string argument = cursor.next();
    if (argument == "--command-line") {
      options.command_line = cursor.value_of(argument);
    } else if (argument == "--temp") {
      options.temp = cursor.value_of(argument);
    } else if (argument == "--language") {
      options.language = cursor.value_of(argument);
    } else if (argument == "--work-number") {
      const std::string& number = cursor.value_of(argument);
      try {
        std::size_t used = 0;
        const long long value = std::stoll(number, &used);
        if (used != number.size() || value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max())
          throw std::out_of_range(number);
        options.work_number = static_cast<std::int32_t>(value);
      } catch (const std::logic_error&) {
        throw usage_error("--work-number needs a 32-bit number, got '" + number + "'");
      }
      options.work_number_given = true;
    } else if (argument == "--json") {
      options.json = true;
    } else if (is_option(argument)) {
      throw usage_error("unknown option '" + argument + "'");
    } else if (options.package.empty()) {
      options.package = argument;
    } else {
      throw usage_error("more than one package given");
    }
  }
  if (options.package.empty()) throw usage_error("no package given");
  if (options.temp.empty()) throw usage_error("--temp is empty");
  // The system reports the temporary directory with its trailing backslash.
  if (options.temp.back() != '\\') options.temp += '\\';
  return options;
}

struct explanation {
  bool silent = false;
  std::string work_directory;
  bool archive_ok = false;
  std::vector<noted_failures::box> boxes;  // shown unless silent
  std::vector<std::string> extracted;      // the files the stub would write
  std::string payload;
  std::string parameters;
  std::string start_directory;
  variable_table table;
};

// The stub's run from the work directory to the launch, in its order.
explanation explain(const explain_options& options) {
  explanation result;
  result.silent = has_silent_switch(options.command_line);
  const std::int32_t number = options.work_number_given
                                  ? options.work_number
                                  : work_directory_number(static_cast<std::int64_t>(std::time(nullptr)));
  result.work_directory = options.temp + work_directory_name(number);

  variable_table& table = result.table;
  table.set("source", result.work_directory.substr(0, result.work_directory.size() - 1));
  const std::string user_v_text = split_command_line(options.command_line, table);

  noted_failures failures;
  discarded_files files;
  result.archive_ok = extract_archive(options.package, result.work_directory, table, failures, files);
  result.boxes = failures.boxes;
  result.extracted = files.created;

  merge_parameters(table, user_v_text);
  // Nothing to reset here: the log file is the user's machine's.
  add_msi_log(table, result.work_directory, reset_file_attributes_function());
  if (!result.archive_ok) {
    result.boxes.push_back({"Invalid Archive!", ""});
    return result;
  }
  result.parameters =
      put_language_first(expand_variables(table.get("parameters"), table), options.language);
  result.payload = payload_file(table, result.work_directory);
  result.start_directory = parent_directory(result.work_directory);
  return result;
}

void print_text(const explanation& e) {
  std::cout << "work directory:  " << e.work_directory << '\n';
  for (const std::string& file : e.extracted) std::cout << "extracts:        " << file << '\n';
  for (const auto& box : e.boxes) {
    std::cout << (e.silent ? "box (silent, not shown): " : "message box:     ") << quoted_text(box.caption);
    if (!box.text.empty()) std::cout << ' ' << quoted_text(box.text);
    std::cout << '\n';
  }
  if (!e.archive_ok) {
    std::cout << "the stub ends with exit code 1 without starting a payload\n";
    return;
  }
  std::cout << "payload:         " << e.payload << '\n'
            << "parameters:      " << e.parameters << '\n'
            << "quoted:          " << quoted_text(e.parameters) << '\n'
            << "start directory: " << e.start_directory << '\n';
}

void print_json(const explain_options& options, const explanation& e) {
  json_writer json(std::cout);
  json.begin_object();
  json.member("package", options.package);
  json.member("command_line", options.command_line);
  json.member("silent", e.silent);
  json.member("work_directory", e.work_directory);
  json.member("archive_accepted", e.archive_ok);
  json.key("extracted");
  json.begin_array();
  for (const std::string& file : e.extracted) json.value(file);
  json.end_array();
  json.key("message_boxes");
  json.begin_array();
  for (const auto& box : e.boxes) {
    json.begin_object();
    json.member("caption", box.caption);
    json.member("text", box.text);
    json.member("shown", !e.silent);
    json.end_object();
  }
  json.end_array();
  json.key("payload");
  if (e.archive_ok) json.value(e.payload); else json.null();
  json.key("parameters");
  if (e.archive_ok) json.value(e.parameters); else json.null();
  json.key("start_directory");
  if (e.archive_ok) json.value(e.start_directory); else json.null();
  json.key("variables");
  json.begin_object();
  for (const auto& pair : e.table.entries()) json.member(pair.first, pair.second);
  json.end_object();
  json.end_object();
}

}  // namespace

int explain_command(const arguments& args) {
  const explain_options options = parse(args);
  const explanation e = explain(options);
  if (options.json) {
    print_json(options, e);
  } else {
    print_text(e);
  }
  return e.archive_ok ? 0 : 1;
}
