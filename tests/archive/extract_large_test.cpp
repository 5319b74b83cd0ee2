// Extraction of a package whose payload is larger than 1 GiB, with the memory it takes: the
// content is digested and copied in blocks, so the process's peak working set stays far below
// the payload's size. The package is generated here, in blocks as well.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/extract_archive.hpp"
#include "archive/md5.hpp"
#include "archive/record_format.hpp"
#include "archive/variable_table.hpp"
#include "tests/archive/package_builder.hpp"
#include "tests/archive/scratch_directory.hpp"

namespace {

constexpr std::uint32_t block = 1u << 20;
constexpr std::uint32_t payload_size = (1u << 30) + block + 5;  // a little over 1 GiB

// The payload's bytes block by block: cheap to make, different in every block.
void fill_block(std::vector<char>& buffer, std::uint32_t index) {
  for (std::size_t i = 0; i < buffer.size(); i += 64) {
    const std::uint32_t word = index * 2654435761u + static_cast<std::uint32_t>(i);
    for (std::size_t j = 0; j < 64 && i + j < buffer.size(); ++j) buffer[i + j] = static_cast<char>(word >> (j % 4 * 8));
  }
}

// Writes the package and returns the payload's digest.
std::string write_package(const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  auto put = [&out](const std::string& bytes) { out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); };
  put(package_builder().stub(std::string(4096, 'S')).bytes());

  md5 digest;
  std::vector<char> buffer(block);
  for (std::uint32_t done = 0, index = 0; done < payload_size; ++index) {
    const std::uint32_t piece = std::min(block, payload_size - done);
    fill_block(buffer, index);
    digest.update(buffer.data(), piece);
    out.write(buffer.data(), piece);
    done += piece;
  }
  const std::string payload_digest = digest.digest();
  put(package_builder::little_endian(payload_size) + payload_digest);
  put(package_builder().record("big.bin").record("big").record(record_format::kind_file).tail().bytes());
  EXPECT_TRUE(out.good());
  return payload_digest;
}

std::string file_digest(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buffer(block);
  md5 digest;
  while (in) {
    in.read(buffer.data(), buffer.size());
    digest.update(buffer.data(), static_cast<std::size_t>(in.gcount()));
  }
  return digest.digest();
}

std::size_t peak_working_set() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  EXPECT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters));
  return counters.PeakWorkingSetSize;
}

TEST(extract_large, payload_over_one_gibibyte_in_bounded_memory) {
  scratch_directory work;
  const std::string package = work.file("package.exe");
  const std::string payload_digest = write_package(package);
  std::filesystem::create_directory(work.path() / "out");

  variable_table table;
  EXPECT_TRUE(extract_archive(package, scratch_directory::with_separator(work.path() / "out"), true, table));
  const std::size_t peak = peak_working_set();
  std::printf("peak working set after extraction: %.1f MiB\n", peak / 1048576.0);
  EXPECT_LT(peak, 64u << 20);

  const std::filesystem::path extracted = work.path() / "out" / "big.bin";
  ASSERT_EQ(std::filesystem::file_size(extracted), payload_size);
  EXPECT_TRUE(file_digest(extracted) == payload_digest);
  EXPECT_EQ(table.get("big"), "big.bin");
}

}  // namespace
