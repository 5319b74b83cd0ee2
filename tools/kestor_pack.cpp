// kestor-pack: makes packages for the Kestor stub and reads them back the way the stub does.
#include <exception>
#include <iostream>
#include <string>

#include "tools/commands.hpp"
#include "tools/tool_error.hpp"

namespace {

const char help[] =
    "Usage: kestor-pack COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  create    write a package: a stub image followed by a chunked archive\n"
    "  list      show what the stub reads from a package, and whether it accepts it\n"
    "  extract   write what the stub would extract from a package into a directory\n"
    "  explain   show the payload and the parameters the stub would start it with\n"
    "\n"
    "kestor-pack COMMAND --help describes a command.\n";

struct command {
  const char* name;
  int (*run)(const arguments&);
  const char* help;
};

const command commands[] = {
    {"create", create_command, create_help},
    {"list", list_command, list_help},
    {"extract", extract_command, extract_help},
    {"explain", explain_command, explain_help},
};

bool wants_help(const arguments& args) {
  for (const std::string& argument : args) {
    if (argument == "--help" || argument == "-h") return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const arguments args(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (args.empty()) {
    std::cerr << help;
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << help;
    return 0;
  }
  for (const command& c : commands) {
    if (args[0] != c.name) continue;
    const arguments rest(args.begin() + 1, args.end());
    if (wants_help(rest)) {
      std::cout << c.help;
      return 0;
    }
    try {
      return c.run(rest);
    } catch (const usage_error& e) {
      std::cerr << "kestor-pack " << c.name << ": " << e.what() << "\n"
                << "Try 'kestor-pack " << c.name << " --help'.\n";
      return 2;
    } catch (const std::exception& e) {
      std::cerr << "kestor-pack " << c.name << ": error: " << e.what() << '\n';
      return 1;
    }
  }
  std::cerr << "kestor-pack: unknown command '" << args[0] << "'\n\n" << help;
  return 2;
}
