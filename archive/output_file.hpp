#pragma once
// Where the extraction writes files: created afresh, written in pieces, closed by the
// destructor. An interface so that the same extraction runs over the real file system and over
// memory (fuzzing).
#include <cstddef>
#include <memory>
#include <string>

#include "archive/os_error.hpp"

class output_file {
 public:
  virtual ~output_file() = default;

  // Writes all `size` bytes. A system failure, or a write that makes no progress, answers false
  // with the code in `error`.
  virtual bool write(const void* data, std::size_t size, os_error& error) = 0;
};

class output_file_system {
 public:
  virtual ~output_file_system() = default;

  // Creates the file, replacing one of that name: generic write access, other openers may only
  // read, attributes normal with the sequential-scan hint. Null with `error` set on failure.
  virtual std::unique_ptr<output_file> create(const std::string& path, os_error& error) = 0;

  // Deletes a file; a failure is ignored (there is nobody left to tell).
  virtual void remove(const std::string& path) = 0;
};

// The machine's own file system.
output_file_system& system_output_files();
