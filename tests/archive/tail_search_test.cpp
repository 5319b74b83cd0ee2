// The block-wise tail search against the search it replaces: a move back 23 bytes and a 22-byte
// read for every byte, from the end. Both must agree on the answer and on where they leave the
// file, whatever the file holds.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "archive/record_format.hpp"
#include "archive/tail_search.hpp"
#include "tests/archive/memory_input_file.hpp"

namespace {

const std::string marker = record_format::tail_marker;

bool byte_by_byte_search(input_file& file) {
  if (!file.move(0, input_file::origin::end)) return false;
  for (;;) {
    if (!file.move(-23, input_file::origin::current) || file.position() <= 22) return false;
    char window[22];
    if (file.read(window, sizeof window) && std::memcmp(window, marker.data(), sizeof window) == 0) {
      file.move(20, input_file::origin::current);
      return true;
    }
  }
}

void expect_same_as_byte_by_byte(const std::string& bytes, const std::string& label) {
  memory_input_file expected_file(bytes);
  memory_input_file file(bytes);
  const bool expected = byte_by_byte_search(expected_file);
  EXPECT_EQ(find_archive_tail(file), expected) << label;
  EXPECT_EQ(file.position(), expected_file.position()) << label;
  // The thread's last error, reported when the search fails, is the one the last call left.
  EXPECT_EQ(file.last_call(), expected_file.last_call()) << label;
}

std::string noise(std::size_t size, std::mt19937& random) {
  // Mostly letters of the marker, so that partial matches are frequent.
  std::uniform_int_distribution<int> pick(0, static_cast<int>(marker.size()));
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    const int i = pick(random);
    c = i < static_cast<int>(marker.size()) ? marker[i] : '\0';
  }
  return bytes;
}

void put_marker(std::string& bytes, std::size_t offset) {
  if (offset <= bytes.size() && bytes.size() - offset >= marker.size()) bytes.replace(offset, marker.size(), marker);
}

TEST(tail_search, agrees_with_the_byte_by_byte_search_at_the_edges) {
  // Sizes around the smallest searchable file, marker offsets at the lowest window (23), just
  // below it (22), at the highest window (size - 23) and ending at the last byte (size - 22).
  for (std::size_t size : {0u, 1u, 22u, 23u, 44u, 45u, 46u, 47u, 67u, 68u, 100u}) {
    for (std::size_t offset : {std::size_t(0), std::size_t(22), std::size_t(23), size - 24, size - 23, size - 22}) {
      std::string bytes(size, 'x');
      put_marker(bytes, offset);
      expect_same_as_byte_by_byte(bytes, "size " + std::to_string(size) + ", marker at " + std::to_string(offset));
    }
  }
}

TEST(tail_search, agrees_with_the_byte_by_byte_search_on_random_files) {
  std::mt19937 random(20261211);
  const std::size_t block = 64 * 1024;
  for (int round = 0; round < 300; ++round) {
    // Sizes up to a little over two search blocks, so that markers straddle block boundaries.
    const std::size_t size = std::uniform_int_distribution<std::size_t>(0, 2 * block + 200)(random);
    std::string bytes = noise(size, random);
    const int markers = std::uniform_int_distribution<int>(0, 3)(random);
    for (int m = 0; m < markers && size > 0; ++m) {
      std::size_t offset = std::uniform_int_distribution<std::size_t>(0, size)(random);
      if (m == 0 && size > block) offset = size - 1 - block - std::uniform_int_distribution<std::size_t>(0, 30)(random);
      put_marker(bytes, offset);
    }
    expect_same_as_byte_by_byte(bytes, "round " + std::to_string(round));
  }
}

TEST(tail_search, reads_the_trailing_bytes_in_blocks) {
  // A tail record behind a megabyte of trailing data that holds no marker.
  std::string bytes = std::string(1000, 'a') + marker + std::string(20, '\0') + std::string(1 << 20, 'b');
  memory_input_file file(bytes);
  ASSERT_TRUE(find_archive_tail(file));
  EXPECT_EQ(file.position(), 1000u + 22 + 20);
  EXPECT_LT(file.reads(), 40u);
  EXPECT_LT(file.bytes_read(), 2u * bytes.size());
}

}  // namespace
