#include "tools/progress_meter.hpp"

#include <cstdio>
#include <utility>

#if defined(_WIN32)
#include <io.h>
#define KESTOR_ISATTY _isatty
#else
#include <unistd.h>
#define KESTOR_ISATTY isatty
#endif

namespace {

constexpr auto refresh_interval = std::chrono::milliseconds(200);

bool standard_error_is_terminal() { return KESTOR_ISATTY(2) != 0; }

}  // namespace

progress_meter::progress_meter(std::string label, std::uint64_t total, std::uint64_t expected)
    : m_label(std::move(label)),
      m_total(total),
      m_active(expected >= threshold && standard_error_is_terminal()) {}

progress_meter::~progress_meter() {
  if (m_shown) std::fprintf(stderr, "\r%*s\r", m_width, "");
}

void progress_meter::update(std::uint64_t done) {
  if (!m_active) return;
  const auto now = std::chrono::steady_clock::now();
  if (m_shown && now - m_last < refresh_interval) return;
  m_last = now;
  m_shown = true;
  const unsigned long long mib = done >> 20;
  int width = 0;
  // Overwritten in place; the text is padded to the width of the longest line shown so far
  // (escape sequences are not understood by every Windows console).
  if (m_total > 0) {
    width = std::fprintf(stderr, "\r%s: %llu%% (%llu of %llu MiB)", m_label.c_str(),
                         static_cast<unsigned long long>(done * 100 / m_total), mib,
                         static_cast<unsigned long long>(m_total >> 20));
  } else {
    width = std::fprintf(stderr, "\r%s: %llu MiB", m_label.c_str(), mib);
  }
  if (width < m_width) std::fprintf(stderr, "%*s", m_width - width, "");
  if (width > m_width) m_width = width;
  std::fflush(stderr);
}
