#pragma once
// The environment of a child process: the current process's environment with some variables
// added or replaced, as the double-zero-terminated block CreateProcessA takes.
#include <string>
#include <utility>
#include <vector>

namespace test_support {

using environment_overrides = std::vector<std::pair<std::string, std::string>>;

// Names compare without regard to case, as Windows does; a later override of the same name wins.
std::string make_environment_block(const environment_overrides& overrides);

}  // namespace test_support
