#include "archive/md5.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (const char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    text += digits[byte >> 4];
    text += digits[byte & 15];
  }
  return text;
}

std::string digest_of(const std::string& content) {
  md5 digest(content);
  return digest.digest();
}

TEST(md5, rfc1321_test_suite) {
  struct vector {
    const char* input;
    const char* expected;
  };
  const vector vectors[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const vector& v : vectors) {
    const std::string result = digest_of(v.input);
    EXPECT_EQ(16u, result.size());
    EXPECT_EQ(v.expected, hex(result)) << '"' << v.input << '"';
  }
}

TEST(md5, padding_lengths_around_the_block_boundaries) {
  // 55 bytes is the longest content whose padding fits one block; from 56 on it takes two, and
  // 64 is the first whole block taken straight from the input.
  struct length_case {
    std::size_t length;
    const char* expected;
  };
  const length_case cases[] = {
      {54, "eced9e0b81ef2bba605cbc5e2e76a1d0"},
      {55, "ef1772b6dff9a122358552954ad0df65"},
      {56, "3b0c8ac703f828b04c6c197006d17218"},
      {57, "652b906d60af96844ebd21b674f35e93"},
      {63, "b06521f39153d618550606be297466d5"},
      {64, "014842d480b571495a4a0363793f7367"},
      {65, "c743a45e0d2e6a95cb859adae0248435"},
      {119, "8a7bd0732ed6a28ce75f6dabc90e1613"},
      {120, "5f61c0ccad4cac44c75ff505e1f1e537"},
      {128, "e510683b3f5ffe4093d021808bc6ff70"},
  };
  for (const length_case& c : cases)
    EXPECT_EQ(c.expected, hex(digest_of(std::string(c.length, 'a')))) << c.length;
}

TEST(md5, digest_is_stable_and_keeps_zero_bytes) {
  // Zero bytes in the content count, and the digest of three of them holds a zero byte itself.
  const std::string content("\0\0\0", 3);
  md5 digest(content);
  const std::string first = digest.digest();
  EXPECT_EQ(first, digest.digest());
  EXPECT_EQ("693e9af84d3dfcc71e640e005bdc5e2e", hex(first));
  EXPECT_NE(digest_of(std::string("\0\0", 2)), first);

  // Digests that begin with, hold two and end with zero bytes.
  struct zero_case {
    const char* input;
    const char* expected;
  };
  const zero_case cases[] = {
      {"168", "006f52e9102a8d3be2fe5614f42ba989"},
      {"292", "1700002963a49da13542e0726b7bb758"},
      {"345", "d81f9c1be2e08964bf9f24b15f0e4900"},
  };
  for (const zero_case& c : cases) {
    const std::string result = digest_of(c.input);
    ASSERT_EQ(16u, result.size()) << c.input;
    EXPECT_EQ(c.expected, hex(result)) << c.input;
  }
}

TEST(md5, streaming_in_odd_pieces_equals_one_pass) {
  std::string content;
  std::uint32_t seed = 12345;
  for (int i = 0; i < 5000; ++i) {
    seed = seed * 1103515245u + 12345u;
    content += static_cast<char>(seed >> 24);
  }
  const std::string whole = digest_of(content);
  for (const std::size_t piece : {1u, 3u, 55u, 63u, 64u, 65u, 127u, 1000u}) {
    md5 digest;
    for (std::size_t at = 0; at < content.size(); at += piece)
      digest.update(content.data() + at, std::min(piece, content.size() - at));
    EXPECT_EQ(whole, digest.digest()) << piece;
  }
  md5 mixed;
  mixed.update(content.substr(0, 10));
  mixed.update(content.data() + 10, 0);
  mixed.update(content.substr(10));
  EXPECT_EQ(whole, mixed.digest());
}

TEST(md5, input_after_finalize_does_not_change_the_digest) {
  md5 digest(std::string("abc"));
  digest.finalize();
  digest.finalize();
  digest.update(std::string("more"));
  EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", hex(digest.digest()));
}

}  // namespace
