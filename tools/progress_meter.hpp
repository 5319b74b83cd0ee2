#pragma once
// A one-line progress display on standard error for work on large files. It shows only when
// standard error is a terminal and the work is large enough to take a while, so scripts and logs
// never see it.
#include <chrono>
#include <cstdint>
#include <string>

class progress_meter {
 public:
  // `total` is the number of bytes the work will handle, or 0 when it is not known beforehand
  // (then the bytes done are shown without a share). `expected` decides whether to show at all.
  progress_meter(std::string label, std::uint64_t total, std::uint64_t expected);
  progress_meter(const progress_meter&) = delete;
  progress_meter& operator=(const progress_meter&) = delete;
  // Clears the line.
  ~progress_meter();

  void update(std::uint64_t done);

  // Work of at least this many bytes gets a display.
  static constexpr std::uint64_t threshold = 32u << 20;

 private:
  std::string m_label;
  std::uint64_t m_total;
  bool m_active;
  bool m_shown = false;
  int m_width = 0;
  std::chrono::steady_clock::time_point m_last;
};
