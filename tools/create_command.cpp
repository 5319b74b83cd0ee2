// kestor-pack create: a package from a stub image and entries given in order.
#include <iostream>

#include "tools/argument_cursor.hpp"
#include "tools/commands.hpp"
#include "tools/package_plan.hpp"
#include "tools/temporary_file.hpp"
#include "tools/tool_error.hpp"

const char create_help[] =
    "Usage: kestor-pack create [--dry-run] -o PACKAGE --stub STUB [--stub-name NAME]\n"
    "                          [--value KEY=TEXT | --file KEY=PATH [--name NAME]]...\n"
    "\n"
    "Writes PACKAGE: the stub image STUB, then the entries in the order given, then the\n"
    "archive's tail record.\n"
    "\n"
    "  -o, --output PACKAGE   the package to write; it appears only when complete\n"
    "  --dry-run              check everything and tell the package's size, write nothing\n"
    "  --stub STUB            the stub's executable image, without an archive of its own\n"
    "  --stub-name NAME       the file name stored with the stub image (never read by the stub;\n"
    "                         default: the base name of STUB)\n"
    "  --value KEY=TEXT       a value entry: KEY is everything before the first '=', TEXT the\n"
    "                         rest, byte for byte\n"
    "  --file KEY=PATH        a file entry with the content of PATH; KEY may be empty (\"=PATH\"),\n"
    "                         then the stub sets no variable for it\n"
    "  --name NAME            the stored name of the file just before (default: the base name\n"
    "                         of PATH); the stub writes the file under this name\n"
    "\n"
    "Order matters: the stub reads the archive from its end, so it meets the entries in the\n"
    "reverse of the order given, and when two entries share a key the one given LAST wins.\n"
    "Two files with the same stored name are both written, the one given first last, so its\n"
    "content stays on disk.\n"
    "\n"
    "Example:\n"
    "  kestor-pack create -o Setup.exe --stub Kestor.exe \\\n"
    "      --file installer32=build/ZEMPOSetup.exe \\\n"
    "      --value executable32=%installer32% \\\n"
    "      --value 'parameters=/V\"USER_BRAND_NAME=\\\"Mirelund\\\" WEBINSTALLER=1\"' \\\n"
    "      --value msilog=ON\n"
    "\n"
    "Exit code 0 when the package was written; 1 when an input is missing or unreadable, a\n"
    "content exceeds 2147483644 bytes, the package would reach 4 GiB, a stored name would be\n"
    "refused by the stub (empty, \".\", \"..\", or containing \\ / :), or the stub image already\n"
    "carries an archive; 2 for a wrong command line. On failure nothing is written: a file\n"
    "already named PACKAGE stays as it was.\n";

namespace {

// Splits "KEY=REST" at the first '='.
void split_assignment(const std::string& option, const std::string& argument, std::string& key,
                      std::string& rest) {
  const auto equals = argument.find('=');
  if (equals == std::string::npos) throw usage_error(option + " needs KEY=..., got '" + argument + "'");
  key = argument.substr(0, equals);
  rest = argument.substr(equals + 1);
}

struct create_options {
  std::string output;
  bool dry_run = false;
  package_plan plan;
};

create_options parse(const arguments& args) {
  create_options options;
  argument_cursor cursor(args);
  bool stub_name_given = false;
  while (!cursor.done()) {
    const std::string option = cursor.next();
    if (option == "-o" || option == "--output") {
      options.output = cursor.value_of(option);
    } else if (option == "--dry-run") {
      options.dry_run = true;
    } else if (option == "--stub") {
      options.plan.stub_path = cursor.value_of(option);
    } else if (option == "--stub-name") {
      options.plan.stub_name = cursor.value_of(option);
      stub_name_given = true;
    } else if (option == "--value") {
      planned_entry entry;
      split_assignment(option, cursor.value_of(option), entry.key, entry.text);
      options.plan.entries.push_back(entry);
    } else if (option == "--file") {
      planned_entry entry;
      entry.type = planned_entry::entry_type::file;
      split_assignment(option, cursor.value_of(option), entry.key, entry.path);
      if (entry.path.empty()) throw usage_error("--file needs a path after '='");
      options.plan.entries.push_back(entry);
    } else if (option == "--name") {
      const std::string& name = cursor.value_of(option);
      if (options.plan.entries.empty() ||
          options.plan.entries.back().type != planned_entry::entry_type::file ||
          options.plan.entries.back().name_given) {
        throw usage_error("--name must follow the --file it names");
      }
      options.plan.entries.back().name = name;
      options.plan.entries.back().name_given = true;
    } else {
      throw usage_error("unknown argument '" + option + "'");
    }
  }
  if (options.output.empty()) throw usage_error("no package given (-o PACKAGE)");
  if (options.plan.stub_path.empty()) throw usage_error("no stub image given (--stub STUB)");
  if (stub_name_given && options.plan.stub_name.empty()) throw usage_error("--stub-name is empty");
  return options;
}

}  // namespace

int create_command(const arguments& args) {
  create_options options = parse(args);
  for (const std::string& warning : check_plan(options.plan)) {
    std::cerr << "kestor-pack: warning: " << warning << '\n';
  }
  if (!options.dry_run) {
    temporary_file package(options.output);
    write_package(options.plan, package.stream());
    package.commit();
  }
  const std::size_t count = options.plan.entries.size();
  std::cout << (options.dry_run ? "would write " : "wrote ") << options.output << ": "
            << package_size(options.plan) << " bytes, " << count
            << (count == 1 ? " entry" : " entries") << " besides the stub\n";
  return 0;
}
