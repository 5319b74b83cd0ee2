#pragma once
// The table that fans each stamped line out to the listeners whose minimum level the line
// reaches. The hub owns the listeners in it.
#include <map>
#include <string>

#include "plinth/mutex.hpp"

namespace plinth {
namespace log {

class listener;

class hub {
 public:
  hub();
  // Deletes the listeners still in the table.
  ~hub();
  hub(const hub&) = delete;
  hub& operator=(const hub&) = delete;

  // Takes ownership of l; it receives the lines of at least the given level, after the listeners
  // of a higher minimum level and after those of the same one that were added later.
  void add(listener* l, int minimum_level = 0);
  // Deletes every listener and empties the table.
  void clear();

  // Stamps the line (date, time, the level's character from "# +!>@") and hands it, in UTF-8, to
  // every listener that takes the level. At level 5 the text is followed by a description of the
  // exception being handled.
  void write_line(int level, const std::wstring& text);
  // A narrow line at level 1 in an encoding nobody knows: read in the ANSI code page, or as
  // UTF-8 when that fails, or replaced by a fixed line when that fails as well.
  void write(const std::string& text);
  void writef_w(int level, const wchar_t* format, ...);

 private:
  plinth::mutex m_mutex;
  std::multimap<int, listener*> m_listeners;
};

}  // namespace log
}  // namespace plinth
