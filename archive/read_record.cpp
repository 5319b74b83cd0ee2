#include "archive/read_record.hpp"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "archive/md5.hpp"
#include "archive/record_format.hpp"

namespace {

// Contents are digested and copied in pieces of this size, so that memory stays small whatever
// a record holds.
constexpr std::uint32_t block_size = 1u << 20;

// Reads the stored digest and length of the record ending at the current position and moves to
// the start of its content. False when a move or read fails; the content would then begin before
// the start of the file, or the record lies (partly) beyond its end.
bool locate_content(input_file& file, std::string& stored_digest, std::uint32_t& size) {
  const auto digest_size = static_cast<std::int32_t>(record_format::digest_size);
  const auto overhead = static_cast<std::int32_t>(record_format::overhead);
  char digest[record_format::digest_size];
  unsigned char length[record_format::length_size];
  if (!file.move(-digest_size, input_file::origin::current) || !file.read(digest, sizeof digest))
    return false;
  if (!file.move(-overhead, input_file::origin::current) || !file.read(length, sizeof length))
    return false;
  stored_digest.assign(digest, sizeof digest);
  size = static_cast<std::uint32_t>(length[0]) | (static_cast<std::uint32_t>(length[1]) << 8) |
         (static_cast<std::uint32_t>(length[2]) << 16) | (static_cast<std::uint32_t>(length[3]) << 24);
  // The content starts N + 4 bytes back. No package holds a content longer than 2^31 - 4 bytes,
  // the longest a signed 32-bit move can step over; a longer stored length is damage and must not
  // be turned into a move forward by wrapping around.
  const std::uint64_t back = static_cast<std::uint64_t>(size) + record_format::length_size;
  if (back > static_cast<std::uint64_t>(record_format::max_content_length) + record_format::length_size)
    return false;
  return file.move(static_cast<std::int32_t>(-static_cast<std::int64_t>(back)), input_file::origin::current);
}

// After a successful check the file goes back to the content's start, the end of the previous
// record.
record_status back_to_start(input_file& file, std::uint32_t size) {
  return file.move(-static_cast<std::int32_t>(size), input_file::origin::current) ? record_status::intact
                                                                                  : record_status::unreadable;
}

}  // namespace

record_status load_record(input_file& file, std::string& content) {
  std::string stored_digest;
  std::uint32_t size = 0;
  if (!locate_content(file, stored_digest, size)) return record_status::unreadable;
  // The move to the content's start has succeeded, so the N bytes lie inside the file: a damaged
  // length cannot ask for more memory than the package holds. What the machine cannot give is
  // a record that cannot be read, not an exception out of the extraction.
  try {
    content.resize(size);
  } catch (const std::bad_alloc&) {
    return record_status::unreadable;
  } catch (const std::length_error&) {
    return record_status::unreadable;
  }
  if (!file.read(&content[0], size)) return record_status::unreadable;
  if (md5(content).digest() != stored_digest) return record_status::damaged;
  return back_to_start(file, size);
}

bool read_record(input_file& file, std::string& content, bool& result) {
  switch (load_record(file, content)) {
    case record_status::intact:
      return true;
    case record_status::damaged:
      result = false;
      return false;
    case record_status::unreadable:
      break;
  }
  return false;
}

record_status verify_record(input_file& file, record_span& span) {
  std::string stored_digest;
  std::uint32_t size = 0;
  if (!locate_content(file, stored_digest, size)) return record_status::unreadable;
  const std::uint32_t start = file.position();
  std::vector<char> buffer;
  try {
    buffer.resize(std::min(size, block_size));
  } catch (const std::bad_alloc&) {
    return record_status::unreadable;
  }
  md5 digest;
  for (std::uint32_t left = size; left > 0;) {
    const std::uint32_t piece = std::min(left, block_size);
    if (!file.read(buffer.data(), piece)) return record_status::unreadable;
    digest.update(buffer.data(), piece);
    left -= piece;
  }
  if (digest.digest() != stored_digest) return record_status::damaged;
  const record_status status = back_to_start(file, size);
  if (status == record_status::intact) span = record_span{start, size};
  return status;
}

bool copy_record_content(input_file& file, const record_span& span, output_file& out, os_error& error) {
  std::vector<char> buffer;
  try {
    buffer.resize(std::min(span.size, block_size));
  } catch (const std::bad_alloc&) {
    error = out_of_memory_error();
    return false;
  }
  if (!move_to(file, span.position)) {
    error = file.error();
    return false;
  }
  for (std::uint32_t left = span.size; left > 0;) {
    const std::uint32_t piece = std::min(left, block_size);
    if (!file.read(buffer.data(), piece)) {
      error = file.error();
      return false;
    }
    if (!out.write(buffer.data(), piece, error)) return false;
    left -= piece;
  }
  if (!move_to(file, span.position)) {
    error = file.error();
    return false;
  }
  return true;
}
