#pragma once
// Runs the built kestor-pack with arguments and collects its exit code and output.
#include <string>
#include <vector>

struct pack_result {
  int code = -1;
  std::string out;
  std::string err;
};

// `directory` is the working directory of the run; relative paths in `args` start there.
pack_result run_pack(const std::string& directory, const std::vector<std::string>& args);

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
