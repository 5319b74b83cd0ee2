#include "plinth/log/log.hpp"

#include <cstdarg>

#include "plinth/format.hpp"
#include "plinth/log/hub.hpp"
#include "plinth/mutex.hpp"
#include "plinth/scope.hpp"

namespace plinth {
namespace log {
namespace {

// Made during static initialisation, before any code of the program's own runs; it guards the
// hub pointer and makes each call below atomic with respect to the others.
plinth::mutex facade_mutex;
hub* process_hub = nullptr;

}  // namespace

hub* instance() {
  if (process_hub == nullptr) process_hub = new hub;
  return process_hub;
}

void attach(listener* l) {
  scope guard(&facade_mutex);
  instance()->add(l);
}

void detach_all() {
  scope guard(&facade_mutex);
  if (process_hub == nullptr) return;
  process_hub->clear();
  delete process_hub;
  process_hub = nullptr;
}

void write(const std::string& text) {
  scope guard(&facade_mutex);
  instance()->write(text);
}

void write_w(const std::wstring& text) {
  scope guard(&facade_mutex);
  instance()->write_line(1, text);
}

void writef(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = vsprintf_string(format, args);
  va_end(args);
  write(text);
}

}  // namespace log
}  // namespace plinth
