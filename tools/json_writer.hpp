#pragma once
// A small streaming JSON writer for the --json output of the commands, indented for reading.
//
// Archive texts are raw bytes in the Windows ANSI code page, not UTF-8, so every byte outside
// ASCII is written as the code point of the same number (\u0080 to \u00ff): the output is always
// valid JSON, and a script recovers the exact bytes by taking each code point as one byte.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <type_traits>
#include <vector>

class json_writer {
 public:
  explicit json_writer(std::ostream& out) : m_out(out) {}

  void begin_object();
  void end_object();
  void begin_array();
  void end_array();
  // The name of the next member of the current object.
  void key(const std::string& name);

  void value(const std::string& text);
  void value(const char* text) { value(std::string(text)); }
  void value(bool flag);
  // Counts and offsets; none of them is negative.
  template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
  void value(T number) {
    write_number(static_cast<std::uint64_t>(number));
  }
  void null();

  // A member in one call.
  template <typename T>
  void member(const std::string& name, const T& v) {
    key(name);
    value(v);
  }

 private:
  void before_value();
  void open(char bracket);
  void close(char bracket);
  void indent();
  void write_string(const std::string& text);
  void write_number(std::uint64_t number);

  std::ostream& m_out;
  std::vector<bool> m_empty;  // for each open container: nothing written into it yet
  bool m_after_key = false;
};
