#include "installer/read_sized_string.hpp"

#include <vector>

std::string read_sized_string(const std::function<std::uint32_t(std::uint32_t size, char* buffer)>& call,
                              std::uint32_t initial_size) {
  // The text may change between calls (another thread setting the variable it comes from); a
  // few rounds settle that, and a call that never settles is treated as a failure.
  constexpr int rounds = 8;
  std::vector<char> buffer(initial_size > 0 ? initial_size : 1);
  for (int round = 0; round < rounds; ++round) {
    const auto size = static_cast<std::uint32_t>(buffer.size());
    const std::uint32_t reported = call(size, buffer.data());
    if (reported == 0) return {};
    if (reported < size) return std::string(buffer.data(), reported);
    buffer.assign(reported + std::size_t{1}, '\0');
  }
  return {};
}
