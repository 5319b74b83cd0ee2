#include "plinth/registry2/system_calls.hpp"

namespace plinth {
namespace registry2 {

system_calls& calls() {
  static system_calls table = {&RegOpenKeyExW, &RegQueryValueExW, &ExpandEnvironmentStringsW};
  return table;
}

}  // namespace registry2
}  // namespace plinth
