#pragma once
// The walk over the entries of a chunked archive, from the tail record towards the start of the
// package, as the stub does it. Whatever the walk reads is verified before an observer sees it;
// the extraction, the packer's listing and its extraction all observe this one walk.
#include <cstdint>
#include <string>

#include "archive/input_file.hpp"
#include "archive/read_record.hpp"

enum class entry_kind { tail, value, file, stub, unknown };

struct archive_entry {
  entry_kind kind = entry_kind::unknown;
  std::string kind_text;   // the kind record's content as stored
  std::string key;         // empty for the tail record
  std::string text;        // the value of a value entry, the stored name of a file entry
  std::uint32_t end = 0;   // the position where the entry's kind record ends
  std::uint32_t start = 0; // where the walk stands after the entry (the first record not read)
  // File entries: the verified content, still in the archive. Other entries: the last record
  // read (the tail record, the value, the key).
  record_span content;
};

// Which record of an entry the walk was reading when it stopped.
enum class record_role { kind, key, value, name, content };

enum class walk_stop {
  stub,        // a "stub" entry ended the archive
  unreadable,  // a record could not be read; the result flag is left as it was
  damaged,     // a record failed its digest; the result flag is false
  observer,    // the observer asked to stop
};

struct walk_outcome {
  bool result = false;          // the result flag when the walk stopped
  walk_stop stop = walk_stop::unreadable;
  record_role role = record_role::kind;  // unreadable / damaged: the record concerned
  std::uint32_t position = 0;   // unreadable / damaged: the end of that record
  archive_entry entry;          // the entry being read when the walk stopped, as far as read
};

class archive_observer {
 public:
  virtual ~archive_observer() = default;

  // Each entry in reading order, once every record of it that the walk reads is verified: the
  // tail record (each marker record in kind position), value and file entries, the stub entry,
  // and entries of unknown kind (a kind and a key record). A file's content stands at
  // `entry.content` in `archive` (copy_record_content); the walk moves back to `entry.start`
  // itself afterwards. Returning false ends the walk with walk_stop::observer.
  virtual bool on_entry(const archive_entry& entry, input_file& archive) = 0;
};

// Walks from the current position, which must be the end of the tail record (find_archive_tail).
// The result flag starts false and becomes true at each intact marker record.
walk_outcome walk_archive(input_file& archive, archive_observer& observer);
