#pragma once
// A listener that relays its lines, with a prefix, into another hub, which stamps them anew.
#include <string>

#include "plinth/log/listener.hpp"

namespace plinth {
namespace log {

class hub;

class proxy : public listener {
 public:
  // The target is not owned and must outlive the proxy; it must not be the hub the proxy is
  // attached to.
  proxy(hub* target, const std::string& prefix);

  void write(int level, const std::string& stamp, const std::string& text) override;

 private:
  hub* m_target;
  std::string m_prefix;
};

}  // namespace log
}  // namespace plinth
