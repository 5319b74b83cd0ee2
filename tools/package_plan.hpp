#pragma once
// What a package is to hold: the stub image and the entries in the order given. Everything that
// would make a package the stub cannot read is found by check_plan, before a byte is written.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

struct planned_entry {
  enum class entry_type { value, file };

  entry_type type = entry_type::value;
  std::string key;
  std::string text;         // a value's text
  std::string path;         // a file's source
  std::string name;         // a file's stored name; empty until check_plan sets the default
  bool name_given = false;  // the name was chosen explicitly
  std::uint64_t size = 0;   // a file's content size, set by check_plan
};

struct package_plan {
  std::string stub_path;
  std::string stub_name;    // the name stored with the stub image; empty: the image's base name
  std::uint64_t stub_size = 0;
  // In file order: the extraction meets the last one first, so among entries with the same key
  // the one given last wins.
  std::vector<planned_entry> entries;
};

// Completes the plan (default names, sizes) and checks it: every input readable, no content
// longer than a record can hold, a package below 4 GiB, stored names the stub creates, a stub
// image without an archive of its own. Throws tool_error; returns warnings about entries the
// stub reads but never uses.
std::vector<std::string> check_plan(package_plan& plan);

// The size the package will have.
std::uint64_t package_size(const package_plan& plan);

// Writes the package: the stub entry, the entries in the order given, the tail record.
void write_package(const package_plan& plan, std::ostream& out);
