#pragma once
// Where the certificate table of a signed Windows executable lies. Code signing appends the table
// after everything else in the file and names it in the image's own headers (the security entry
// of the optional header's data directory), so a package signed after packing carries its
// signature behind the archive's tail record.
#include <cstdint>
#include <optional>

#include "archive/input_file.hpp"

struct file_range {
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
};

// The table named by the PE headers at the start of `file`; none when the file does not start
// with PE headers or names no table. The file position is left anywhere.
std::optional<file_range> find_certificate_table(input_file& file);
