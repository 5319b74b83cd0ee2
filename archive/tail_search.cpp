#include "archive/tail_search.hpp"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "archive/record_format.hpp"

// The search examines 22-byte windows starting at size - 23, size - 24, ... down to 23 and takes
// the first that holds the marker, which is the occurrence nearest the end of the file. Moving
// back 23 bytes and reading 22 for every byte of trailing data would cost two system calls a
// byte; instead the bytes those windows cover, [23, size - 1), are read backwards in blocks that
// overlap by 21 bytes, so every window lies whole inside at least one block, and each block is
// searched from its end.
namespace {

constexpr std::uint32_t marker_size = static_cast<std::uint32_t>(record_format::tail_marker_size);
constexpr std::int32_t step_back = static_cast<std::int32_t>(marker_size) + 1;  // 23
// The lowest window starts here: a move back 23 that reaches 22 or less ends the search.
constexpr std::uint32_t lowest_window = marker_size + 1;
constexpr std::uint32_t block_size = 64 * 1024;

// Leaves the file as the byte-by-byte search leaves it when it gives up: after the window at 23
// it stands at 45 and its last call is the move back 23 that reaches 22.
bool give_up(input_file& file) {
  if (move_to(file, lowest_window + marker_size)) file.move(-step_back, input_file::origin::current);
  return false;
}

}  // namespace

bool find_archive_tail(input_file& file) {
  if (!file.move(0, input_file::origin::end)) return false;
  const std::uint32_t size = file.position();
  if (size < lowest_window + marker_size + 1) {
    // No window: the first move back 23 fails (size < 23) or reaches 22 or less.
    file.move(-step_back, input_file::origin::current);
    return false;
  }

  const std::string_view marker(record_format::tail_marker, marker_size);
  std::vector<char> block(std::min<std::uint32_t>(block_size, size - 1 - lowest_window));
  std::uint32_t block_end = size - 1;  // the last byte is in no window
  for (;;) {
    const std::uint32_t block_start =
        block_end - lowest_window > block.size() ? block_end - static_cast<std::uint32_t>(block.size())
                                                 : lowest_window;
    const std::uint32_t length = block_end - block_start;
    if (!move_to(file, block_start) || !file.read(block.data(), length)) return give_up(file);
    const std::size_t found = std::string_view(block.data(), length).rfind(marker);
    if (found != std::string_view::npos) {
      // Where the search stands after reading the matching window, then past the length and
      // digest behind the marker: the end of the tail record. Whether those 20 bytes are there is
      // for the reading of the record to find out.
      const std::uint32_t window_end = block_start + static_cast<std::uint32_t>(found) + marker_size;
      if (move_to(file, window_end))
        file.move(static_cast<std::int32_t>(record_format::overhead), input_file::origin::current);
      return true;
    }
    if (block_start == lowest_window) return give_up(file);
    block_end = block_start + marker_size - 1;
  }
}
