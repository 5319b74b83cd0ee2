#include "archive/record_writer.hpp"

#include "archive/md5.hpp"
#include "archive/record_format.hpp"

#include <istream>
#include <ostream>
#include <vector>

namespace {

// Large enough that copying a big payload costs little more than the disk does.
constexpr std::size_t copy_block_size = 1 << 20;

}  // namespace

record_writer::record_writer(std::ostream& out) : m_out(out) {}

std::uint64_t record_writer::record_size(std::uint64_t content_size) {
  return content_size + record_format::overhead;
}

void record_writer::check_content_size(std::uint64_t content_size) const {
  if (content_size > record_format::max_content_length) {
    throw error("a record content of more than 2147483644 bytes cannot be read back");
  }
}

void record_writer::put(const char* data, std::size_t size) {
  // Checked before writing, so that the limit, not a truncated package, is what gets reported.
  if (m_size + size >= record_format::package_size_limit) {
    throw error("the package would reach 4 GiB");
  }
  m_out.write(data, static_cast<std::streamsize>(size));
  if (!m_out) {
    throw error("writing the package failed");
  }
  m_size += size;
}

void record_writer::finish_record(std::uint64_t content_size, const std::string& digest) {
  const auto n = static_cast<std::uint32_t>(content_size);
  const char length[record_format::length_size] = {
      static_cast<char>(n & 0xff), static_cast<char>((n >> 8) & 0xff),
      static_cast<char>((n >> 16) & 0xff), static_cast<char>((n >> 24) & 0xff)};
  put(length, sizeof length);
  put(digest.data(), digest.size());
}

void record_writer::write_record(const std::string& content) {
  check_content_size(content.size());
  put(content.data(), content.size());
  finish_record(content.size(), md5(content).digest());
}

void record_writer::write_record(std::istream& in, const progress_function& progress) {
  std::vector<char> block(copy_block_size);
  md5 digest;
  std::uint64_t copied = 0;
  for (;;) {
    in.read(block.data(), static_cast<std::streamsize>(block.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) {
      break;
    }
    check_content_size(copied + got);
    digest.update(block.data(), got);
    put(block.data(), got);
    copied += got;
    if (progress) {
      progress(copied);
    }
  }
  if (in.bad()) {
    throw error("reading the content failed");
  }
  finish_record(copied, digest.digest());
}

void record_writer::write_value_entry(const std::string& key, const std::string& value) {
  write_record(value);
  write_record(key);
  write_record(record_format::kind_value);
}

void record_writer::write_file_entry(const std::string& key, const std::string& name,
                                     std::istream& content, const progress_function& progress) {
  write_record(content, progress);
  write_record(name);
  write_record(key);
  write_record(record_format::kind_file);
}

void record_writer::write_stub_entry(std::istream& image, const std::string& name,
                                     const std::string& key, const progress_function& progress) {
  write_record(image, progress);
  write_record(name);
  write_record(key);
  write_record(record_format::kind_stub);
}

void record_writer::write_tail() {
  write_record(std::string(record_format::tail_marker, record_format::tail_marker_size));
}
