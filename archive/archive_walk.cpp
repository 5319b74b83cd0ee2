#include "archive/archive_walk.hpp"

#include <utility>

#include "archive/record_format.hpp"

namespace {

class walk {
 public:
  walk(input_file& archive, archive_observer& observer) : m_archive(archive), m_observer(observer) {}

  walk_outcome run() {
    for (;;) {
      archive_entry entry;
      entry.end = m_archive.position();
      if (!load(entry, record_role::kind, entry.kind_text)) return stopped(std::move(entry));
      if (entry.kind_text == record_format::tail_marker) {
        // A marker record in kind position: the archive so far is intact, and the next record is
        // read as a new kind.
        entry.kind = entry_kind::tail;
        m_outcome.result = true;
      } else {
        if (!load(entry, record_role::key, entry.key)) return stopped(std::move(entry));
        if (entry.kind_text == record_format::kind_value) {
          entry.kind = entry_kind::value;
          if (!load(entry, record_role::value, entry.text)) return stopped(std::move(entry));
        } else if (entry.kind_text == record_format::kind_file) {
          entry.kind = entry_kind::file;
          if (!load(entry, record_role::name, entry.text) || !verify_content(entry))
            return stopped(std::move(entry));
        } else if (entry.kind_text == record_format::kind_stub) {
          // The archive ends here; the stub's file name and image are never read.
          entry.kind = entry_kind::stub;
        }
        // Any other kind consumes just its kind and key records.
      }
      entry.start = m_archive.position();

      if (!m_observer.on_entry(entry, m_archive)) {
        m_outcome.stop = walk_stop::observer;
        return stopped(std::move(entry));
      }
      if (entry.kind == entry_kind::stub) {
        m_outcome.stop = walk_stop::stub;
        return stopped(std::move(entry));
      }
      if (!move_to(m_archive, entry.start)) {
        m_outcome.stop = walk_stop::unreadable;
        m_outcome.role = record_role::kind;
        m_outcome.position = entry.start;
        return stopped(archive_entry());
      }
    }
  }

 private:
  // One text record of the entry; false ends the walk with the outcome set.
  bool load(archive_entry& entry, record_role role, std::string& text) {
    const std::uint32_t end = m_archive.position();
    const record_status status = load_record(m_archive, text);
    if (status == record_status::intact) {
      entry.content = record_span{m_archive.position(), static_cast<std::uint32_t>(text.size())};
      return true;
    }
    failed(status, role, end);
    return false;
  }

  bool verify_content(archive_entry& entry) {
    const std::uint32_t end = m_archive.position();
    const record_status status = verify_record(m_archive, entry.content);
    if (status == record_status::intact) return true;
    failed(status, record_role::content, end);
    return false;
  }

  void failed(record_status status, record_role role, std::uint32_t end) {
    m_outcome.role = role;
    m_outcome.position = end;
    if (status == record_status::damaged) {
      m_outcome.stop = walk_stop::damaged;
      m_outcome.result = false;
    } else {
      m_outcome.stop = walk_stop::unreadable;
    }
  }

  walk_outcome stopped(archive_entry entry) {
    m_outcome.entry = std::move(entry);
    return std::move(m_outcome);
  }

  input_file& m_archive;
  archive_observer& m_observer;
  walk_outcome m_outcome;
};

}  // namespace

walk_outcome walk_archive(input_file& archive, archive_observer& observer) {
  return walk(archive, observer).run();
}
