#pragma once
// Whole-file reading and writing for tests, bytes exactly as they are.
#include <chrono>
#include <string>

namespace test_support {

// Throws std::runtime_error when the file cannot be read.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& contents);
bool file_exists(const std::string& path);
// Polls until the file exists; false on time-out.
bool wait_for_file(const std::string& path, std::chrono::milliseconds timeout);

}  // namespace test_support
