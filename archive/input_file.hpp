#pragma once
// The archive as the reading code sees it: a file read from a 32-bit position that moves by
// signed 32-bit distances. Packages are smaller than 4 GiB, so nothing wider is needed, and a
// move that would reach before the start of the file fails instead of wrapping around.
#include <cstdint>
#include <memory>
#include <string>

#include "archive/os_error.hpp"

class input_file {
 public:
  enum class origin { current, end };

  virtual ~input_file() = default;

  // Moves the position by `distance` bytes from the current position or the end of the file.
  // A new position before the start of the file or beyond 32 bits fails and leaves the position
  // where it was; a position beyond the end of the file is allowed (reads there fail).
  virtual bool move(std::int32_t distance, origin from) = 0;

  // Reads exactly `size` bytes at the position into `buffer` and moves past what was read.
  // Fewer bytes (the end of the file) or a system failure answer false.
  virtual bool read(void* buffer, std::uint32_t size) = 0;

  virtual std::uint32_t position() const = 0;

  // The code of the last move or read that failed.
  virtual os_error error() const = 0;
};

// Moves to an absolute position, in as many signed 32-bit steps as it takes; nothing happens when
// the file already stands there.
bool move_to(input_file& file, std::uint32_t position);

// Opens an existing file for reading: generic read access, other openers may only read,
// attributes normal with the sequential-scan hint. Null with `error` set on failure.
std::unique_ptr<input_file> open_input_file(const std::string& path, os_error& error);
