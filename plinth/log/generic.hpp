#pragma once
// Failures of the log library itself (kind "log"), e.g. a log file that cannot be opened.
#include <string>

#include "plinth/exception.hpp"

namespace plinth {
namespace log {

class generic : public plinth::exception {
 public:
  explicit generic(const std::string& message);
  generic(const generic& other) = default;
};

}  // namespace log
}  // namespace plinth
