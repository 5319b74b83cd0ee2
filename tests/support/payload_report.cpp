#include "tests/support/payload_report.hpp"

#include <stdexcept>

#include "tests/support/file_io.hpp"

namespace test_support {
namespace {

void append_field(std::string& out, const char* name, const std::string& value) {
  out += name;
  out += ' ';
  out += std::to_string(value.size());
  out += '\n';
  out += value;
  out += '\n';
}

std::string take_field(const std::string& contents, std::size_t& at, const std::string& name) {
  auto fail = [&](const char* what) {
    throw std::runtime_error("payload report: " + std::string(what) + " at field " + name);
  };
  std::string head = name + " ";
  if (contents.compare(at, head.size(), head) != 0) {
    fail("missing name");
  }
  at += head.size();
  std::size_t end_of_line = contents.find('\n', at);
  if (end_of_line == std::string::npos || end_of_line == at) {
    fail("missing length");
  }
  std::size_t length = 0;
  for (std::size_t i = at; i < end_of_line; ++i) {
    if (contents[i] < '0' || contents[i] > '9') {
      fail("bad length");
    }
    length = length * 10 + static_cast<std::size_t>(contents[i] - '0');
    if (length > contents.size()) {
      fail("length beyond the end");
    }
  }
  at = end_of_line + 1;
  if (contents.size() - at < length + 1 || contents[at + length] != '\n') {
    fail("value not terminated");
  }
  std::string value = contents.substr(at, length);
  at += length + 1;
  return value;
}

}  // namespace

std::string format_payload_report(const payload_report& report) {
  std::string out;
  append_field(out, "command_line", report.command_line);
  append_field(out, "current_directory", report.current_directory);
  return out;
}

payload_report parse_payload_report(const std::string& contents) {
  std::size_t at = 0;
  payload_report report;
  report.command_line = take_field(contents, at, "command_line");
  report.current_directory = take_field(contents, at, "current_directory");
  if (at != contents.size()) {
    throw std::runtime_error("payload report: trailing bytes");
  }
  return report;
}

payload_report read_payload_report(const std::string& path) {
  return parse_payload_report(read_file(path));
}

}  // namespace test_support
