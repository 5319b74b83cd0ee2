#pragma once
// Records the message boxes that appear on the desktop while a test runs and presses OK on each,
// so that a test can assert exactly which boxes a run showed, in order, or that it showed none.
//
// A background thread polls the top-level windows for dialogs of class "#32770". Each new box is
// recorded once, when it has become visible (its texts are set by then): the caption is the
// dialog's window text, the message the text of its "Static" child (icon statics are skipped).
// Then WM_COMMAND IDOK is posted to it on every poll until it is gone (Wine may take up to two
// seconds to close one).
//
// By default only boxes of this process and of processes started from it (children,
// grandchildren) count, so that tests running side by side on the same display neither see nor
// close each other's boxes. Message boxes need a display: under Wine the test fixture provides
// one; without it MessageBoxA fails at once and nothing appears.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

struct message_box {
  std::string caption;
  std::string text;
  DWORD process_id = 0;

  bool operator==(const message_box& other) const {
    return caption == other.caption && text == other.text;
  }
  bool operator!=(const message_box& other) const { return !(*this == other); }
};

// Shows the texts with control characters escaped ("\r"), for readable assertion messages.
std::ostream& operator<<(std::ostream& out, const message_box& box);

enum class watch_scope {
  own_processes,  // this process and its descendants
  all_processes,  // every box on the desktop
};

class message_box_watcher {
 public:
  explicit message_box_watcher(watch_scope scope = watch_scope::own_processes,
                               std::chrono::milliseconds poll_interval = std::chrono::milliseconds(25));
  ~message_box_watcher();
  message_box_watcher(const message_box_watcher&) = delete;
  message_box_watcher& operator=(const message_box_watcher&) = delete;

  // The boxes seen so far, in order of appearance.
  std::vector<message_box> boxes() const;
  // Waits until at least `count` boxes have been seen; false on time-out.
  bool wait_for(std::size_t count, std::chrono::milliseconds timeout) const;
  // Waits until no box has been open for `quiet` (after at least one complete poll from now),
  // so that every box a finished run showed is in boxes(); false when boxes keep appearing
  // for `timeout`.
  bool settle(std::chrono::milliseconds quiet = std::chrono::milliseconds(300),
              std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;

 private:
  using clock = std::chrono::steady_clock;

  void run();
  void poll();
  bool in_scope(DWORD process_id);
  void refresh_own_processes();

  const watch_scope m_scope;
  const std::chrono::milliseconds m_poll_interval;

  // Touched by the polling thread only.
  std::set<HWND> m_open;
  std::set<DWORD> m_own_processes;

  mutable std::mutex m_mutex;
  mutable std::condition_variable m_changed;
  std::vector<message_box> m_boxes;
  unsigned long long m_polls = 0;
  clock::time_point m_last_open;
  bool m_stop = false;

  std::thread m_thread;
};

}  // namespace test_support
