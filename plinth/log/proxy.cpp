#include "plinth/log/proxy.hpp"

#include "plinth/log/hub.hpp"
#include "plinth/unicode/convert.hpp"

#include <windows.h>

namespace plinth {
namespace log {

proxy::proxy(hub* target, const std::string& prefix) : m_target(target), m_prefix(prefix) {}

void proxy::write(int level, const std::string&, const std::string& text) {
  m_target->write_line(level, unicode::to_wide(m_prefix + text, CP_UTF8));
}

}  // namespace log
}  // namespace plinth
