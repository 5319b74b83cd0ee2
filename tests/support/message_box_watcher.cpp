#include "tests/support/message_box_watcher.hpp"

#include <tlhelp32.h>

#include <cstdio>
#include <map>

#include "plinth/unique_handle.hpp"

namespace test_support {
namespace {

using plinth::unique_handle;

// The message text of a box is a static control with this id (on Windows and in Wine).
constexpr int message_text_id = 0xFFFF;

std::string class_name(HWND window) {
  char name[64] = {};
  int length = GetClassNameA(window, name, sizeof(name));
  return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// Asks the window itself, so that it works for windows of other threads and processes and never
// hangs the watcher on a stuck one.
std::string window_text(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    return {};
  }
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return {};
  }
  text.resize(std::min<std::size_t>(copied, text.size() - 1));
  return text;
}

BOOL CALLBACK collect_dialog(HWND window, LPARAM context) {
  if (class_name(window) == "#32770") {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK collect_static(HWND window, LPARAM context) {
  bool is_icon = (GetWindowLongA(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
  if (class_name(window) == "Static" && !is_icon) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  }
  return TRUE;
}

std::string message_text(HWND dialog) {
  std::vector<HWND> statics;
  EnumChildWindows(dialog, collect_static, reinterpret_cast<LPARAM>(&statics));
  if (statics.empty()) {
    return {};
  }
  HWND chosen = statics.front();
  for (HWND candidate : statics) {
    if (GetDlgCtrlID(candidate) == message_text_id) {
      chosen = candidate;
      break;
    }
  }
  return window_text(chosen);
}

void write_escaped(std::ostream& out, const std::string& text) {
  out << '"';
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\r': out << "\\r"; break;
      case '\n': out << "\\n"; break;
      case '\t': out << "\\t"; break;
      case '"': out << "\\\""; break;
      case '\\': out << "\\\\"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof(hex), "\\x%02x", byte);
          out << hex;
        } else {
          out << c;
        }
    }
  }
  out << '"';
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const message_box& box) {
  out << "{caption ";
  write_escaped(out, box.caption);
  out << ", text ";
  write_escaped(out, box.text);
  return out << "}";
}

message_box_watcher::message_box_watcher(watch_scope scope, std::chrono::milliseconds poll_interval)
    : m_scope(scope), m_poll_interval(poll_interval), m_last_open(clock::now()) {
  m_thread = std::thread([this] { run(); });
}

message_box_watcher::~message_box_watcher() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

std::vector<message_box> message_box_watcher::boxes() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_boxes;
}

bool message_box_watcher::wait_for(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return m_boxes.size() >= count; });
}

bool message_box_watcher::settle(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(m_mutex);
  // A poll that started before this call may have missed a box that had just appeared.
  const unsigned long long first_full_poll = m_polls + 2;
  const auto deadline = clock::now() + timeout;
  for (;;) {
    auto now = clock::now();
    if (m_polls >= first_full_poll && now - m_last_open >= quiet) {
      return true;
    }
    if (now >= deadline) {
      return false;
    }
    m_changed.wait_until(lock, std::min(deadline, now + m_poll_interval));
  }
}

void message_box_watcher::run() {
  std::unique_lock<std::mutex> lock(m_mutex);
  while (!m_stop) {
    lock.unlock();
    poll();
    lock.lock();
    m_changed.wait_for(lock, m_poll_interval, [this] { return m_stop; });
  }
}

void message_box_watcher::poll() {
  std::vector<HWND> dialogs;
  EnumWindows(collect_dialog, reinterpret_cast<LPARAM>(&dialogs));

  std::set<HWND> open;
  std::vector<message_box> found;
  for (HWND dialog : dialogs) {
    // Texts are set before a box is shown; a dialog still invisible is not ready to be read.
    if (!IsWindowVisible(dialog)) {
      continue;
    }
    DWORD process_id = 0;
    GetWindowThreadProcessId(dialog, &process_id);
    if (!in_scope(process_id)) {
      continue;
    }
    open.insert(dialog);
    if (m_open.count(dialog) == 0) {
      found.push_back(message_box{window_text(dialog), message_text(dialog), process_id});
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  m_open = std::move(open);

  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_boxes.insert(m_boxes.end(), found.begin(), found.end());
    if (!m_open.empty()) {
      m_last_open = clock::now();
    }
    ++m_polls;
  }
  m_changed.notify_all();
}

bool message_box_watcher::in_scope(DWORD process_id) {
  if (m_scope == watch_scope::all_processes || process_id == GetCurrentProcessId() ||
      m_own_processes.count(process_id) != 0) {
    return true;
  }
  refresh_own_processes();
  return m_own_processes.count(process_id) != 0;
}

// The live descendants of this process. Rebuilt from a fresh snapshot each time rather than
// accumulated, so that the number of an ended child, reused by another test's process, does
// not pull that process in. A box whose chain to this process is broken (a parent in between
// has already ended) is therefore not seen; watch all processes for such a case.
void message_box_watcher::refresh_own_processes() {
  m_own_processes.clear();
  unique_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    return;
  }
  std::multimap<DWORD, DWORD> children;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ProcessID != entry.th32ParentProcessID) {
      children.emplace(entry.th32ParentProcessID, entry.th32ProcessID);
    }
  }
  std::vector<DWORD> pending{GetCurrentProcessId()};
  while (!pending.empty()) {
    DWORD parent = pending.back();
    pending.pop_back();
    auto range = children.equal_range(parent);
    for (auto it = range.first; it != range.second; ++it) {
      if (m_own_processes.insert(it->second).second) {
        pending.push_back(it->second);
      }
    }
  }
}

}  // namespace test_support
