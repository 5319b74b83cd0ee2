#include "tools/quoted_text.hpp"

#include <cstdio>

std::string quoted_text(const std::string& text) {
  std::string shown = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': shown += "\\\""; break;
      case '\\': shown += "\\\\"; break;
      case '\n': shown += "\\n"; break;
      case '\r': shown += "\\r"; break;
      case '\t': shown += "\\t"; break;
      default:
        if (byte < 0x20 || byte >= 0x7f) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\%03o", byte);
          shown += escaped;
        } else {
          shown += c;
        }
    }
  }
  return shown + "\"";
}
