#include "tests/tools/pack_runner.hpp"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

// One word for the shell, whatever the argument holds.
std::string shell_quoted(const std::string& argument) {
  std::string quoted = "'";
  for (const char c : argument) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

pack_result run_pack(const std::string& directory, const std::vector<std::string>& args) {
  const std::string out = directory + "/.pack-stdout";
  const std::string err = directory + "/.pack-stderr";
  std::string command = "cd " + shell_quoted(directory) + " && " + shell_quoted(KESTOR_PACK_EXE);
  for (const std::string& argument : args) command += " " + shell_quoted(argument);
  command += " >" + shell_quoted(out) + " 2>" + shell_quoted(err) + " </dev/null";
  const int status = std::system(command.c_str());
  pack_result result;
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = read_file(out);
  result.err = read_file(err);
  std::remove(out.c_str());
  std::remove(err.c_str());
  return result;
}
