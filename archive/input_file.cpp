#include "archive/input_file.hpp"

#include <cstdint>
#include <limits>

bool move_to(input_file& file, std::uint32_t position) {
  while (file.position() != position) {
    std::int64_t step = static_cast<std::int64_t>(position) - file.position();
    if (step > std::numeric_limits<std::int32_t>::max()) step = std::numeric_limits<std::int32_t>::max();
    if (step < std::numeric_limits<std::int32_t>::min()) step = std::numeric_limits<std::int32_t>::min();
    if (!file.move(static_cast<std::int32_t>(step), input_file::origin::current)) return false;
  }
  return true;
}
