#pragma once
// The layout of a chunked archive's records and the texts that mark its entries, shared by the
// code that writes packages and the code that reads them.
//
// A record is its content, then the content's length (unsigned 32-bit, little-endian), then the
// 16 raw bytes of the content's MD5 digest. Records are read from their end, so everything a
// reader needs to find the content stands behind it.
#include <cstddef>
#include <cstdint>

struct record_format {
  static constexpr std::size_t length_size = 4;
  static constexpr std::size_t digest_size = 16;
  // Bytes a record occupies besides its content.
  static constexpr std::size_t overhead = length_size + digest_size;

  // The content of the tail record, the last record of every archive (no terminator).
  static constexpr char tail_marker[] = "chunked-installer-tail";
  static constexpr std::size_t tail_marker_size = sizeof(tail_marker) - 1;

  // Readers address the package with 32-bit positions and move by signed 32-bit distances:
  // a content longer than this cannot be stepped over, and the whole package stays below 4 GiB.
  static constexpr std::uint32_t max_content_length = 0x7ffffffcu;  // 2^31 - 4
  static constexpr std::uint64_t package_size_limit = 0x100000000ull;  // a package is smaller

  // Texts of the kind records.
  static constexpr char kind_value[] = "value";
  static constexpr char kind_file[] = "file";
  static constexpr char kind_stub[] = "stub";
  // The key the packer gives the stub entry.
  static constexpr char stub_key[] = "stub";
};
