#include "archive/md5.hpp"

#include <cstring>

#include "plinth/format.hpp"

namespace {

inline std::uint32_t rotate_left(std::uint32_t x, int s) {
  return (x << s) | (x >> (32 - s));
}

// Little-endian word from four bytes; compilers turn this into a single load on x86.
inline std::uint32_t load_word(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The four round functions, each written so that b, the word computed by the step just before,
// enters last: the rest of the step can then run in parallel with the previous one. In G the two
// halves have disjoint bits, so adding them equals or-ing them and ~d & c is added early.
#define MD5_STEP_F(a, b, c, d, x, t, s)               \
  a += (x) + (t);                                      \
  a += (d) ^ ((b) & ((c) ^ (d)));                      \
  a = rotate_left(a, s) + (b)
#define MD5_STEP_G(a, b, c, d, x, t, s)               \
  a += (x) + (t);                                      \
  a += (c) & ~(d);                                     \
  a += (b) & (d);                                      \
  a = rotate_left(a, s) + (b)
#define MD5_STEP_H(a, b, c, d, x, t, s)               \
  a += (x) + (t);                                      \
  a += (b) ^ ((c) ^ (d));                              \
  a = rotate_left(a, s) + (b)
#define MD5_STEP_I(a, b, c, d, x, t, s)               \
  a += (x) + (t);                                      \
  a += (c) ^ ((b) | ~(d));                             \
  a = rotate_left(a, s) + (b)

}  // namespace

md5::md5()
    : m_state{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u},
      m_bit_count(0),
      m_pending{},
      m_pending_size(0),
      m_finalized(false) {}

md5::md5(const std::string& content) : md5() {
  update(content);
}

void md5::update(const std::string& bytes) {
  update(bytes.data(), bytes.size());
}

void md5::update(const void* bytes, std::size_t n) {
  if (m_finalized)
    return;
  const unsigned char* input = static_cast<const unsigned char*>(bytes);
  m_bit_count += static_cast<std::uint64_t>(n) * 8u;

  if (m_pending_size > 0) {
    const std::size_t take = n < 64 - m_pending_size ? n : 64 - m_pending_size;
    std::memcpy(m_pending + m_pending_size, input, take);
    m_pending_size += take;
    input += take;
    n -= take;
    if (m_pending_size < 64)
      return;
    process_blocks(m_pending, 1);
    m_pending_size = 0;
  }

  // Whole blocks straight from the caller's memory: no copy.
  const std::size_t whole = n / 64;
  if (whole > 0) {
    process_blocks(input, whole);
    input += whole * 64;
    n -= whole * 64;
  }

  if (n > 0) {
    std::memcpy(m_pending, input, n);
    m_pending_size = n;
  }
}

void md5::finalize() {
  if (m_finalized)
    return;
  // Pending bytes, 0x80, zeros up to 56 modulo 64, then the bit count lowest byte first: one
  // block when at most 55 bytes were pending, two otherwise.
  unsigned char padded[128] = {};
  std::memcpy(padded, m_pending, m_pending_size);
  padded[m_pending_size] = 0x80;
  const std::size_t length = m_pending_size < 56 ? 64 : 128;
  for (int i = 0; i < 8; ++i)
    padded[length - 8 + i] = static_cast<unsigned char>(m_bit_count >> (8 * i));
  m_pending_size = 0;
  process_blocks(padded, length / 64);
  m_finalized = true;
}

std::string md5::digest() {
  finalize();
  std::string result;
  result.reserve(16);
  for (const std::uint32_t word : m_state) {
    // The formatted length counts the zero bytes "%c" writes, so they stay in the digest.
    result += plinth::sprintf_string("%c%c%c%c", static_cast<int>(word & 0xffu),
                                     static_cast<int>((word >> 8) & 0xffu),
                                     static_cast<int>((word >> 16) & 0xffu),
                                     static_cast<int>((word >> 24) & 0xffu));
  }
  return result;
}

void md5::process_blocks(const unsigned char* blocks, std::size_t count) {
  std::uint32_t a = m_state[0];
  std::uint32_t b = m_state[1];
  std::uint32_t c = m_state[2];
  std::uint32_t d = m_state[3];

  for (; count > 0; --count, blocks += 64) {
    const std::uint32_t a0 = a;
    const std::uint32_t b0 = b;
    const std::uint32_t c0 = c;
    const std::uint32_t d0 = d;

    MD5_STEP_F(a, b, c, d, load_word(blocks + 0), 0xd76aa478u, 7);
    MD5_STEP_F(d, a, b, c, load_word(blocks + 4), 0xe8c7b756u, 12);
    MD5_STEP_F(c, d, a, b, load_word(blocks + 8), 0x242070dbu, 17);
    MD5_STEP_F(b, c, d, a, load_word(blocks + 12), 0xc1bdceeeu, 22);
    MD5_STEP_F(a, b, c, d, load_word(blocks + 16), 0xf57c0fafu, 7);
    MD5_STEP_F(d, a, b, c, load_word(blocks + 20), 0x4787c62au, 12);
    MD5_STEP_F(c, d, a, b, load_word(blocks + 24), 0xa8304613u, 17);
    MD5_STEP_F(b, c, d, a, load_word(blocks + 28), 0xfd469501u, 22);
    MD5_STEP_F(a, b, c, d, load_word(blocks + 32), 0x698098d8u, 7);
    MD5_STEP_F(d, a, b, c, load_word(blocks + 36), 0x8b44f7afu, 12);
    MD5_STEP_F(c, d, a, b, load_word(blocks + 40), 0xffff5bb1u, 17);
    MD5_STEP_F(b, c, d, a, load_word(blocks + 44), 0x895cd7beu, 22);
    MD5_STEP_F(a, b, c, d, load_word(blocks + 48), 0x6b901122u, 7);
    MD5_STEP_F(d, a, b, c, load_word(blocks + 52), 0xfd987193u, 12);
    MD5_STEP_F(c, d, a, b, load_word(blocks + 56), 0xa679438eu, 17);
    MD5_STEP_F(b, c, d, a, load_word(blocks + 60), 0x49b40821u, 22);

    MD5_STEP_G(a, b, c, d, load_word(blocks + 4), 0xf61e2562u, 5);
    MD5_STEP_G(d, a, b, c, load_word(blocks + 24), 0xc040b340u, 9);
    MD5_STEP_G(c, d, a, b, load_word(blocks + 44), 0x265e5a51u, 14);
    MD5_STEP_G(b, c, d, a, load_word(blocks + 0), 0xe9b6c7aau, 20);
    MD5_STEP_G(a, b, c, d, load_word(blocks + 20), 0xd62f105du, 5);
    MD5_STEP_G(d, a, b, c, load_word(blocks + 40), 0x02441453u, 9);
    MD5_STEP_G(c, d, a, b, load_word(blocks + 60), 0xd8a1e681u, 14);
    MD5_STEP_G(b, c, d, a, load_word(blocks + 16), 0xe7d3fbc8u, 20);
    MD5_STEP_G(a, b, c, d, load_word(blocks + 36), 0x21e1cde6u, 5);
    MD5_STEP_G(d, a, b, c, load_word(blocks + 56), 0xc33707d6u, 9);
    MD5_STEP_G(c, d, a, b, load_word(blocks + 12), 0xf4d50d87u, 14);
    MD5_STEP_G(b, c, d, a, load_word(blocks + 32), 0x455a14edu, 20);
    MD5_STEP_G(a, b, c, d, load_word(blocks + 52), 0xa9e3e905u, 5);
    MD5_STEP_G(d, a, b, c, load_word(blocks + 8), 0xfcefa3f8u, 9);
    MD5_STEP_G(c, d, a, b, load_word(blocks + 28), 0x676f02d9u, 14);
    MD5_STEP_G(b, c, d, a, load_word(blocks + 48), 0x8d2a4c8au, 20);

    MD5_STEP_H(a, b, c, d, load_word(blocks + 20), 0xfffa3942u, 4);
    MD5_STEP_H(d, a, b, c, load_word(blocks + 32), 0x8771f681u, 11);
    MD5_STEP_H(c, d, a, b, load_word(blocks + 44), 0x6d9d6122u, 16);
    MD5_STEP_H(b, c, d, a, load_word(blocks + 56), 0xfde5380cu, 23);
    MD5_STEP_H(a, b, c, d, load_word(blocks + 4), 0xa4beea44u, 4);
    MD5_STEP_H(d, a, b, c, load_word(blocks + 16), 0x4bdecfa9u, 11);
    MD5_STEP_H(c, d, a, b, load_word(blocks + 28), 0xf6bb4b60u, 16);
    MD5_STEP_H(b, c, d, a, load_word(blocks + 40), 0xbebfbc70u, 23);
    MD5_STEP_H(a, b, c, d, load_word(blocks + 52), 0x289b7ec6u, 4);
    MD5_STEP_H(d, a, b, c, load_word(blocks + 0), 0xeaa127fau, 11);
    MD5_STEP_H(c, d, a, b, load_word(blocks + 12), 0xd4ef3085u, 16);
    MD5_STEP_H(b, c, d, a, load_word(blocks + 24), 0x04881d05u, 23);
    MD5_STEP_H(a, b, c, d, load_word(blocks + 36), 0xd9d4d039u, 4);
    MD5_STEP_H(d, a, b, c, load_word(blocks + 48), 0xe6db99e5u, 11);
    MD5_STEP_H(c, d, a, b, load_word(blocks + 60), 0x1fa27cf8u, 16);
    MD5_STEP_H(b, c, d, a, load_word(blocks + 8), 0xc4ac5665u, 23);

    MD5_STEP_I(a, b, c, d, load_word(blocks + 0), 0xf4292244u, 6);
    MD5_STEP_I(d, a, b, c, load_word(blocks + 28), 0x432aff97u, 10);
    MD5_STEP_I(c, d, a, b, load_word(blocks + 56), 0xab9423a7u, 15);
    MD5_STEP_I(b, c, d, a, load_word(blocks + 20), 0xfc93a039u, 21);
    MD5_STEP_I(a, b, c, d, load_word(blocks + 48), 0x655b59c3u, 6);
    MD5_STEP_I(d, a, b, c, load_word(blocks + 12), 0x8f0ccc92u, 10);
    MD5_STEP_I(c, d, a, b, load_word(blocks + 40), 0xffeff47du, 15);
    MD5_STEP_I(b, c, d, a, load_word(blocks + 4), 0x85845dd1u, 21);
    MD5_STEP_I(a, b, c, d, load_word(blocks + 32), 0x6fa87e4fu, 6);
    MD5_STEP_I(d, a, b, c, load_word(blocks + 60), 0xfe2ce6e0u, 10);
    MD5_STEP_I(c, d, a, b, load_word(blocks + 24), 0xa3014314u, 15);
    MD5_STEP_I(b, c, d, a, load_word(blocks + 52), 0x4e0811a1u, 21);
    MD5_STEP_I(a, b, c, d, load_word(blocks + 16), 0xf7537e82u, 6);
    MD5_STEP_I(d, a, b, c, load_word(blocks + 44), 0xbd3af235u, 10);
    MD5_STEP_I(c, d, a, b, load_word(blocks + 8), 0x2ad7d2bbu, 15);
    MD5_STEP_I(b, c, d, a, load_word(blocks + 36), 0xeb86d391u, 21);

    a += a0;
    b += b0;
    c += c0;
    d += d0;
  }

  m_state[0] = a;
  m_state[1] = b;
  m_state[2] = c;
  m_state[3] = d;
}
