// Our digest against OpenSSL's on random contents of random lengths (native tree only).
#include "archive/md5.hpp"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

std::string openssl_md5(const std::string& content) {
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EXPECT_EQ(1, EVP_Digest(content.data(), content.size(), out, &size, EVP_md5(), nullptr));
  return std::string(reinterpret_cast<const char*>(out), size);
}

TEST(md5_openssl, random_contents_agree) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<std::size_t> short_length(0, 300);
  std::uniform_int_distribution<std::size_t> long_length(300, 200000);
  for (int round = 0; round < 400; ++round) {
    const std::size_t length = round % 8 == 0 ? long_length(random) : short_length(random);
    std::string content(length, '\0');
    for (char& c : content)
      c = static_cast<char>(byte(random));
    const std::string expected = openssl_md5(content);
    {
      md5 digest(content);
      ASSERT_EQ(expected, digest.digest()) << "length " << length;
    }
    // The same content fed in random pieces.
    md5 pieces;
    std::uniform_int_distribution<std::size_t> piece(0, 200);
    for (std::size_t at = 0; at < length;) {
      const std::size_t n = std::min(piece(random), length - at);
      pieces.update(content.data() + at, n);
      at += n;
    }
    ASSERT_EQ(expected, pieces.digest()) << "length " << length << " in pieces";
  }
}

}  // namespace
