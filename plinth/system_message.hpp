#pragma once
#include <string>

namespace plinth {

// The system's text for a Windows error code, without its closing CR LF; empty when the system
// has no text for it.
std::string system_message(unsigned long code);

}  // namespace plinth
