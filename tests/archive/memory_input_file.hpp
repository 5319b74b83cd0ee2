#pragma once
// An archive held in memory, with the rules of the real file layer (32-bit positions, no move
// before the start, reads past the end fail after taking what is there). It counts its calls,
// so that tests can see how a search reads, and remembers the last one.
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "archive/input_file.hpp"

class memory_input_file : public input_file {
 public:
  enum class call { none, move, read };

  explicit memory_input_file(std::string bytes) : m_bytes(std::move(bytes)) {}

  bool move(std::int32_t distance, origin from) override {
    ++m_moves;
    m_last_call = call::move;
    const std::int64_t base = from == origin::end ? static_cast<std::int64_t>(m_bytes.size()) : m_position;
    const std::int64_t target = base + distance;
    if (target < 0 || target > 0xfffffffe) {
      m_error = before_start;
      return false;
    }
    m_position = static_cast<std::uint32_t>(target);
    return true;
  }

  bool read(void* buffer, std::uint32_t size) override {
    ++m_reads;
    m_last_call = call::read;
    const std::uint64_t available = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
    const std::uint32_t got = available < size ? static_cast<std::uint32_t>(available) : size;
    if (got > 0) std::memcpy(buffer, m_bytes.data() + m_position, got);
    m_position += got;
    m_bytes_read += got;
    if (got != size) {
      m_error = end_of_file_error();
      return false;
    }
    return true;
  }

  std::uint32_t position() const override { return m_position; }
  os_error error() const override { return m_error; }

  // The code of a move before the start (the Windows code, on every platform).
  static constexpr os_error before_start = 131;

  unsigned long moves() const { return m_moves; }
  unsigned long reads() const { return m_reads; }
  unsigned long long bytes_read() const { return m_bytes_read; }
  call last_call() const { return m_last_call; }

 private:
  std::string m_bytes;
  std::uint32_t m_position = 0;
  os_error m_error = 0;
  unsigned long m_moves = 0;
  unsigned long m_reads = 0;
  unsigned long long m_bytes_read = 0;
  call m_last_call = call::none;
};
