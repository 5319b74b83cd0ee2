#include "tools/certificate_table.hpp"

namespace {

std::uint32_t little_endian(const unsigned char* bytes, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

bool read_at(input_file& file, std::uint32_t position, void* buffer, std::uint32_t size) {
  return move_to(file, position) && file.read(buffer, size);
}

// Layout of the headers, as offsets into them.
constexpr std::uint32_t new_header_pointer = 0x3c;  // in the MS-DOS header: where "PE\0\0" stands
constexpr std::uint32_t optional_header = 4 + 20;   // after the signature and the file header
constexpr std::uint32_t security_directory = 4;     // index in the data directory

}  // namespace

std::optional<file_range> find_certificate_table(input_file& file) {
  unsigned char dos[2];
  if (!read_at(file, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
  unsigned char pointer[4];
  if (!read_at(file, new_header_pointer, pointer, sizeof pointer)) return std::nullopt;
  const std::uint32_t pe = little_endian(pointer, 4);
  unsigned char signature[4];
  if (pe > 0x10000000u || !read_at(file, pe, signature, sizeof signature) ||
      signature[0] != 'P' || signature[1] != 'E' || signature[2] != 0 || signature[3] != 0)
    return std::nullopt;

  unsigned char magic[2];
  if (!read_at(file, pe + optional_header, magic, sizeof magic)) return std::nullopt;
  // PE32 and PE32+ differ in the width of a few fields before the data directory.
  std::uint32_t count_field = 0;
  switch (little_endian(magic, 2)) {
    case 0x10b: count_field = 92; break;
    case 0x20b: count_field = 108; break;
    default: return std::nullopt;
  }
  unsigned char count[4];
  if (!read_at(file, pe + optional_header + count_field, count, sizeof count) ||
      little_endian(count, 4) <= security_directory)
    return std::nullopt;
  unsigned char entry[8];
  if (!read_at(file, pe + optional_header + count_field + 4 + 8 * security_directory, entry,
               sizeof entry))
    return std::nullopt;
  // Unlike the other entries, this one holds a file offset, not an address in memory.
  const file_range table{little_endian(entry, 4), little_endian(entry + 4, 4)};
  if (table.offset == 0 || table.size == 0) return std::nullopt;
  return table;
}
