#pragma once
// Reading one record of the chunked archive from its end: content, 32-bit length and MD5 digest.
// Every function here starts with the file standing at the end of the record and, when the
// record is intact, leaves it at the record's start, which is the end of the previous record.
#include <cstdint>
#include <string>

#include "archive/input_file.hpp"
#include "archive/output_file.hpp"

// Where a record's content stands in the archive.
struct record_span {
  std::uint32_t position = 0;  // the content's first byte, which is the record's start
  std::uint32_t size = 0;
};

enum class record_status {
  intact,      // read, and its digest matches
  damaged,     // read, and its digest does not match
  unreadable,  // a move or read failed: for instance the content would begin before the file
};

// Reads the record into `content` (replacing what it held) and verifies it. A digest mismatch
// clears `result` and answers false; a failed move or read answers false and leaves `result`
// alone.
bool read_record(input_file& file, std::string& content, bool& result);

// The same reading, reporting which of the three outcomes it was. `content` holds the record's
// bytes only when intact.
record_status load_record(input_file& file, std::string& content);

// Verifies a record without holding its content: the digest is computed over the content read
// in blocks. On intact, `span` tells where the content stands, for copy_record_content.
record_status verify_record(input_file& file, record_span& span);

// Copies a content in blocks to `out`, then moves the file back to the content's start. False
// with `error` set when a read or a write fails.
bool copy_record_content(input_file& file, const record_span& span, output_file& out,
                         os_error& error);
