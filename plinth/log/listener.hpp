#pragma once
// A receiver of log lines. Listeners belong to the hub they are attached to, which deletes them
// through this interface.
#include <string>

namespace plinth {
namespace log {

class listener {
 public:
  virtual ~listener() = 0;
  // One line: the stamp is the hub's prefix (date, time, level character, two spaces), the text
  // is the message in UTF-8.
  virtual void write(int level, const std::string& stamp, const std::string& text) = 0;

  listener(const listener&) = delete;
  listener& operator=(const listener&) = delete;

 protected:
  listener() = default;
};

inline listener::~listener() = default;

}  // namespace log
}  // namespace plinth
