#include "tests/support/named_event.hpp"

#include <atomic>

#include "tests/support/system_error.hpp"

namespace test_support {
namespace {

std::string unique_event_name() {
  static std::atomic<unsigned> counter{0};
  return "kestor-test-event-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

}  // namespace

named_event::named_event() : named_event(unique_event_name()) {}

named_event::named_event(std::string name) : m_name(std::move(name)) {
  m_handle.reset(CreateEventA(nullptr, TRUE, FALSE, m_name.c_str()));
  if (!m_handle) {
    throw_last_error("CreateEventA " + m_name);
  }
}

void named_event::set() {
  if (!SetEvent(m_handle.get())) {
    throw_last_error("SetEvent " + m_name);
  }
}

}  // namespace test_support
