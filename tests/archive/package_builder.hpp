#pragma once
// Builds chunked-archive bytes in memory, record by record in file order, including the damage
// that tests need: wrong digests, wrong lengths, stray bytes.
#include <cstdint>
#include <string>

#include "archive/md5.hpp"
#include "archive/record_format.hpp"

class package_builder {
 public:
  // Any bytes: a stub image, the bytes after the tail, garbage.
  package_builder& raw(const std::string& bytes) {
    m_bytes += bytes;
    return *this;
  }

  // A record with the content's own length and digest, or with a given digest.
  package_builder& record(const std::string& content) { return record(content, md5(content).digest()); }
  package_builder& record(const std::string& content, const std::string& digest) {
    return record_with_length(content, static_cast<std::uint32_t>(content.size()), digest);
  }
  package_builder& record_with_length(const std::string& content, std::uint32_t length, const std::string& digest) {
    m_bytes += content;
    m_bytes += little_endian(length);
    m_bytes += digest;
    return *this;
  }

  package_builder& value(const std::string& key, const std::string& value) {
    return record(value).record(key).record(record_format::kind_value);
  }
  package_builder& file(const std::string& key, const std::string& name, const std::string& content) {
    return record(content).record(name).record(key).record(record_format::kind_file);
  }
  // The stub entry. Its image's digest is wrong, as in a package signed after packing.
  package_builder& stub(const std::string& image, const std::string& name = "Kestor.exe") {
    return record(image, std::string(16, '\x5a'))
        .record(name)
        .record(record_format::stub_key)
        .record(record_format::kind_stub);
  }
  package_builder& tail() { return record(record_format::tail_marker); }

  const std::string& bytes() const { return m_bytes; }

  static std::string little_endian(std::uint32_t n) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((n >> (8 * i)) & 0xff);
    return bytes;
  }

 private:
  std::string m_bytes;
};
