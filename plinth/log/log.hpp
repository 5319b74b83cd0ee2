#pragma once
// The process's log: free functions that any thread may call. Lines are stamped with the local
// date and time and handed to every attached listener; every line written here has level 1.
#include <string>

namespace plinth {
namespace log {

class hub;
class listener;

// The process's hub, created on first use. Only while the facade's own lock is held, which the
// functions below take for their whole duration.
hub* instance();

// Ownership of l passes to the log; attach each listener once.
void attach(listener* l);
// Deletes every listener and the hub (a file listener closes its file and its lock). A later
// call starts with a new, empty hub.
void detach_all();

// A narrow text in the ANSI code page or, if that reading fails, in UTF-8.
void write(const std::string& text);
void write_w(const std::wstring& text);
// printf-style; the text then goes through write().
void writef(const char* format, ...);

}  // namespace log
}  // namespace plinth
