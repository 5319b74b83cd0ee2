#pragma once
// What the stub meets when it reads a package, entry by entry, gathered for the packer's list
// command. The reading is the stub's own: the same file layer, tail search and entry walk; only
// nothing is written.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_walk.hpp"
#include "archive/os_error.hpp"
#include "tools/certificate_table.hpp"

struct package_reading {
  std::uint64_t size = 0;         // of the whole package file
  bool opened = false;
  bool tail_found = false;
  os_error error = 0;             // why the open or the tail search failed
  std::uint32_t tail_end = 0;     // where the archive's tail record ends
  std::vector<archive_entry> entries;  // in reading order, as the walk handed them on
  walk_outcome outcome;
  // The walk was stopped at a file entry whose name the stub refuses to create.
  bool name_refused = false;
  std::optional<file_range> certificate_table;  // named by the stub image's headers

  // Whether the stub's extraction answers true (the files it writes aside).
  bool accepted() const {
    return tail_found && outcome.stop != walk_stop::observer && outcome.result;
  }
  // The caption of the box the stub's extraction shows for this package, empty when none.
  std::string failure_caption() const;
};

package_reading read_package(const std::string& path);

// Whether the file already ends with an archive: the tail search finds a marker, and the bytes
// around it form an intact tail record. `tail_end` receives where that record ends.
bool carries_archive(const std::string& path, std::uint32_t& tail_end);
