#pragma once
// MD5 (RFC 1321) of a byte string: every record of the chunked archive carries the digest of its
// content, and the extraction recomputes it before the record is used.
#include <cstddef>
#include <cstdint>
#include <string>

class md5 {
 public:
  // An empty digest, for content that arrives in pieces.
  md5();
  // The digest of a whole content held in memory; zero bytes are content like any other.
  explicit md5(const std::string& content);

  md5(const md5&) = delete;
  md5& operator=(const md5&) = delete;

  void update(const std::string& bytes);
  void update(const void* bytes, std::size_t n);

  // Pads and processes the rest. Only the first call does anything; once finalized, further
  // input is ignored so the digest cannot silently change.
  void finalize();

  // The 16 raw digest bytes (A, B, C, D, each lowest byte first), zero bytes included.
  std::string digest();

 private:
  void process_blocks(const unsigned char* blocks, std::size_t count);

  std::uint32_t m_state[4];
  std::uint64_t m_bit_count;
  unsigned char m_pending[64];
  std::size_t m_pending_size;
  bool m_finalized;
};
