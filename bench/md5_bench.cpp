// Throughput of our MD5 against OpenSSL's on the same 256 MiB buffer, in one run.
#include <openssl/evp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "archive/md5.hpp"

namespace {

constexpr std::size_t buffer_size = std::size_t(256) << 20;
constexpr int rounds = 7;

double seconds_of(const std::function<void()>& function) {
  const auto start = std::chrono::steady_clock::now();
  function();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count();
}

}  // namespace

int main() {
  std::string buffer(buffer_size, '\0');
  std::mt19937_64 random(7);
  for (std::size_t at = 0; at + 8 <= buffer.size(); at += 8) {
    const std::uint64_t word = random();
    std::memcpy(&buffer[at], &word, 8);
  }

  // The two run in turns and each keeps its best time, so that load from other processes on the
  // machine affects both alike.
  std::string ours;
  unsigned char theirs[EVP_MAX_MD_SIZE];
  unsigned int theirs_size = 0;
  double ours_seconds = 1e30;
  double openssl_seconds = 1e30;
  for (int round = 0; round < rounds; ++round) {
    ours_seconds = std::min(ours_seconds, seconds_of([&] {
                              md5 digest(buffer);
                              ours = digest.digest();
                            }));
    openssl_seconds = std::min(openssl_seconds, seconds_of([&] {
                                 EVP_Digest(buffer.data(), buffer.size(), theirs, &theirs_size,
                                            EVP_md5(), nullptr);
                               }));
  }

  if (ours != std::string(reinterpret_cast<const char*>(theirs), theirs_size)) {
    std::fprintf(stderr, "digests differ\n");
    return 1;
  }
  const double megabytes = static_cast<double>(buffer_size) / (1024.0 * 1024.0);
  std::printf("md5 over %.0f MiB, best of %d runs\n", megabytes, rounds);
  std::printf("  ours:    %8.1f MB/s\n", megabytes / ours_seconds);
  std::printf("  OpenSSL: %8.1f MB/s\n", megabytes / openssl_seconds);
  std::printf("  ratio ours/OpenSSL: %.3f\n", openssl_seconds / ours_seconds);
  return 0;
}
