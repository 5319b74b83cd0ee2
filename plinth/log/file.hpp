#pragma once
// The log file listener: appends lines as UTF-8 to base name + ".log.txt", a file that any number
// of processes may share. A named mutex derived from the base name makes the size check, the
// rotation and the append of one line atomic across all of them.
#include <cstdint>
#include <string>

#include "plinth/log/listener.hpp"
#include "plinth/real_mutex.hpp"
#include "plinth/unique_handle.hpp"

namespace plinth {
namespace log {

class file : public listener {
 public:
  // Opens or creates the file and writes the byte order mark into an empty one. Throws
  // plinth::log::generic when the file cannot be opened, plinth::exception when the lock cannot.
  explicit file(const std::string& base_name);
  ~file() override;

  void write(int level, const std::string& stamp, const std::string& text) override;

  // Rotation: once the file has reached the size limit (bytes), the next line first moves its
  // contents into the numbered copies base.1.log.txt (oldest) to base.N.log.txt (newest), N the
  // number of backups, and starts the file anew. By default the limit is never reached and no
  // copies are kept. Set both before the listener is attached.
  void set_size_limit(std::uint32_t bytes) { m_size_limit = bytes; }
  void set_backups(std::uint32_t count) { m_backups = count; }

 private:
  std::string current_name() const;
  std::string copy_name(std::uint32_t number) const;
  void rotate();
  void start_anew();
  void put(const std::string& bytes);

  real_mutex m_lock;
  std::string m_base_name;
  std::uint32_t m_size_limit;
  std::uint32_t m_backups;
  unique_handle m_handle;
};

// The name of the mutex that guards the file of this base name: "log-" and the base name with
// every backslash turned into an underscore (a backslash would place it in a namespace).
std::string lock_name_of(const std::string& base_name);

}  // namespace log
}  // namespace plinth
