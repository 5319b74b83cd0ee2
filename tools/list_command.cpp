// kestor-pack list: what the stub meets when it reads a package, and whether it accepts it.
#include <iostream>
#include <sstream>

#include "archive/os_error.hpp"
#include "tools/argument_cursor.hpp"
#include "tools/commands.hpp"
#include "tools/json_writer.hpp"
#include "tools/package_reading.hpp"
#include "tools/quoted_text.hpp"
#include "tools/tool_error.hpp"

const char list_help[] =
    "Usage: kestor-pack list PACKAGE [--json]\n"
    "\n"
    "Reads PACKAGE with the stub's own reading code, from the tail record towards the start, and\n"
    "prints each entry in the order the stub meets it: kind, key, stored name or value, size and\n"
    "whether its digest was verified (the stub entry's name and image are never read). Then the\n"
    "bytes after the tail record (such as the certificate table of a signature) and the verdict.\n"
    "Nothing is written.\n"
    "\n"
    "  --json   the same as one JSON object; archive texts are bytes in the Windows ANSI code\n"
    "           page, and each byte outside ASCII appears as the code point of its value\n"
    "\n"
    "Exit code 0 when the stub accepts the package, 1 when it does not, 2 for a wrong command\n"
    "line.\n";

namespace {

const char* kind_name(entry_kind kind) {
  switch (kind) {
    case entry_kind::tail: return "tail";
    case entry_kind::value: return "value";
    case entry_kind::file: return "file";
    case entry_kind::stub: return "stub";
    case entry_kind::unknown: break;
  }
  return "unknown";
}

const char* role_name(record_role role) {
  switch (role) {
    case record_role::kind: return "kind";
    case record_role::key: return "key";
    case record_role::value: return "value";
    case record_role::name: return "name";
    case record_role::content: return "content";
  }
  return "";
}

const char* stop_name(const package_reading& reading) {
  if (reading.name_refused) return "refused name";
  switch (reading.outcome.stop) {
    case walk_stop::stub: return "stub";
    case walk_stop::unreadable: return "unreadable";
    case walk_stop::damaged: return "damaged";
    case walk_stop::observer: break;
  }
  return "";
}

// The bytes the archive leaves at the end of the package, and what the image says of them.
struct trailing_bytes {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  bool certificate_table = false;  // the image names a certificate table inside them
};

trailing_bytes trailing(const package_reading& reading) {
  trailing_bytes bytes;
  bytes.offset = reading.tail_end;
  bytes.size = reading.size > reading.tail_end ? reading.size - reading.tail_end : 0;
  if (reading.certificate_table) {
    const std::uint64_t start = reading.certificate_table->offset;
    const std::uint64_t end = start + reading.certificate_table->size;
    bytes.certificate_table = start >= bytes.offset && end <= reading.size;
  }
  return bytes;
}

// Why the stub does not accept the package, in a few words; empty when it does.
std::string refusal(const package_reading& reading) {
  if (!reading.opened) return "the package cannot be opened: " + os_error_text(reading.error);
  if (!reading.tail_found) return "no archive tail record found";
  if (reading.name_refused) {
    return "the stub refuses to create the file " + quoted_text(reading.entries.back().text);
  }
  if (reading.outcome.stop == walk_stop::damaged) {
    return std::string("the ") + role_name(reading.outcome.role) + " record ending at offset " +
           std::to_string(reading.outcome.position) + " fails its digest";
  }
  if (!reading.outcome.result) return "the tail record is not intact";
  return std::string();
}

void print_text(const std::string& path, const package_reading& reading) {
  std::cout << "package " << path << ", " << reading.size << " bytes\n";
  if (reading.tail_found) {
    std::cout << "tail record ends at offset " << reading.tail_end << "\n";
    std::cout << "entries in reading order:\n";
    int number = 0;
    for (const archive_entry& entry : reading.entries) {
      std::ostringstream line;
      line << "  " << ++number << "  " << kind_name(entry.kind);
      switch (entry.kind) {
        case entry_kind::tail:
          line << "  verified";
          break;
        case entry_kind::value:
          line << "  " << quoted_text(entry.key) << " = " << quoted_text(entry.text) << "  "
               << entry.text.size() << " bytes, verified";
          break;
        case entry_kind::file:
          line << "  " << quoted_text(entry.key) << " -> " << quoted_text(entry.text) << "  "
               << entry.content.size << " bytes at offset " << entry.content.position
               << ", verified";
          break;
        case entry_kind::stub:
          line << "  " << quoted_text(entry.key) << "  name and image not read";
          break;
        case entry_kind::unknown:
          line << "  kind " << quoted_text(entry.kind_text) << "  key " << quoted_text(entry.key)
               << "  skipped by the stub";
          break;
      }
      std::cout << line.str() << '\n';
    }
    const walk_outcome& outcome = reading.outcome;
    if (outcome.stop == walk_stop::unreadable || outcome.stop == walk_stop::damaged) {
      std::cout << "reading stops: the " << role_name(outcome.role) << " record ending at offset "
                << outcome.position
                << (outcome.stop == walk_stop::damaged ? " fails its digest\n" : " cannot be read\n");
    }
    const trailing_bytes bytes = trailing(reading);
    std::cout << "after the tail record: " << bytes.size << " bytes";
    if (bytes.certificate_table) {
      std::cout << ", holding the certificate table named by the stub image ("
                << reading.certificate_table->size << " bytes at offset "
                << reading.certificate_table->offset << ")";
    }
    std::cout << '\n';
  }
  const std::string reason = refusal(reading);
  if (reason.empty()) {
    std::cout << "verdict: accepted\n";
  } else {
    std::cout << "verdict: refused, " << reason;
    const std::string caption = reading.failure_caption();
    if (!caption.empty()) std::cout << " (the stub shows \"" << caption << "\")";
    std::cout << '\n';
  }
}

void print_json(const std::string& path, const package_reading& reading) {
  json_writer json(std::cout);
  json.begin_object();
  json.member("package", path);
  json.member("size", reading.size);
  json.member("opened", reading.opened);
  json.member("tail_found", reading.tail_found);
  if (reading.tail_found) json.member("tail_end", reading.tail_end);
  json.key("entries");
  json.begin_array();
  for (const archive_entry& entry : reading.entries) {
    json.begin_object();
    json.member("kind", kind_name(entry.kind));
    json.member("kind_text", entry.kind_text);
    if (entry.kind != entry_kind::tail) json.member("key", entry.key);
    switch (entry.kind) {
      case entry_kind::value:
        json.member("value", entry.text);
        json.member("size", entry.text.size());
        break;
      case entry_kind::file:
        json.member("name", entry.text);
        json.member("size", entry.content.size);
        json.member("offset", entry.content.position);
        break;
      default:
        break;
    }
    json.member("digest", entry.kind == entry_kind::stub ? "not read" : "verified");
    json.member("end", entry.end);
    json.end_object();
  }
  json.end_array();
  if (reading.tail_found) {
    json.key("stop");
    json.begin_object();
    json.member("reason", stop_name(reading));
    if (reading.outcome.stop == walk_stop::unreadable || reading.outcome.stop == walk_stop::damaged) {
      json.member("record", role_name(reading.outcome.role));
      json.member("end", reading.outcome.position);
    }
    json.end_object();
    const trailing_bytes bytes = trailing(reading);
    json.key("after_tail");
    json.begin_object();
    json.member("offset", bytes.offset);
    json.member("size", bytes.size);
    json.key("certificate_table");
    if (bytes.certificate_table) {
      json.begin_object();
      json.member("offset", reading.certificate_table->offset);
      json.member("size", reading.certificate_table->size);
      json.end_object();
    } else {
      json.null();
    }
    json.end_object();
  }
  json.member("accepted", reading.accepted());
  const std::string reason = refusal(reading);
  json.key("reason");
  if (reason.empty()) json.null(); else json.value(reason);
  const std::string caption = reading.failure_caption();
  json.key("message_box");
  if (caption.empty()) json.null(); else json.value(caption);
  json.end_object();
}

}  // namespace

int list_command(const arguments& args) {
  argument_cursor cursor(args);
  std::string path;
  bool json = false;
  while (!cursor.done()) {
    const std::string argument = cursor.next();
    if (argument == "--json") {
      json = true;
    } else if (is_option(argument)) {
      throw usage_error("unknown option '" + argument + "'");
    } else if (path.empty()) {
      path = argument;
    } else {
      throw usage_error("more than one package given");
    }
  }
  if (path.empty()) throw usage_error("no package given");

  const package_reading reading = read_package(path);
  if (json) {
    print_json(path, reading);
  } else {
    print_text(path, reading);
  }
  return reading.accepted() ? 0 : 1;
}
