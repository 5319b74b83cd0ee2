#include "tools/json_writer.hpp"

#include <cstdio>
#include <ostream>

void json_writer::indent() {
  m_out << '\n' << std::string(2 * m_empty.size(), ' ');
}

void json_writer::before_value() {
  if (m_after_key) {
    m_after_key = false;
    return;
  }
  if (!m_empty.empty()) {
    if (!m_empty.back()) m_out << ',';
    m_empty.back() = false;
    indent();
  }
}

void json_writer::open(char bracket) {
  before_value();
  m_out << bracket;
  m_empty.push_back(true);
}

void json_writer::close(char bracket) {
  const bool empty = m_empty.back();
  m_empty.pop_back();
  if (!empty) indent();
  m_out << bracket;
  if (m_empty.empty()) m_out << '\n';
}

void json_writer::begin_object() { open('{'); }
void json_writer::end_object() { close('}'); }
void json_writer::begin_array() { open('['); }
void json_writer::end_array() { close(']'); }

void json_writer::key(const std::string& name) {
  before_value();
  write_string(name);
  m_out << ": ";
  m_after_key = true;
}

void json_writer::value(const std::string& text) {
  before_value();
  write_string(text);
}

void json_writer::write_number(std::uint64_t number) {
  before_value();
  m_out << number;
}

void json_writer::value(bool flag) {
  before_value();
  m_out << (flag ? "true" : "false");
}

void json_writer::null() {
  before_value();
  m_out << "null";
}

void json_writer::write_string(const std::string& text) {
  m_out << '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': m_out << "\\\""; break;
      case '\\': m_out << "\\\\"; break;
      case '\n': m_out << "\\n"; break;
      case '\r': m_out << "\\r"; break;
      case '\t': m_out << "\\t"; break;
      default:
        if (byte < 0x20 || byte >= 0x7f) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
          m_out << escaped;
        } else {
          m_out << c;
        }
    }
  }
  m_out << '"';
}
