// Reading one record from its end: the three outcomes, the result flag, where the file is left,
// and the same answers from the streamed verification and copy that the extraction uses for
// file contents.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/md5.hpp"
#include "archive/read_record.hpp"
#include "tests/archive/memory_input_file.hpp"
#include "tests/archive/package_builder.hpp"

namespace {

class memory_output_file : public output_file {
 public:
  bool write(const void* data, std::size_t size, os_error&) override {
    bytes.append(static_cast<const char*>(data), size);
    ++writes;
    return true;
  }
  std::string bytes;
  int writes = 0;
};

struct record_case {
  const char* name;
  std::string bytes;            // the record ends at the end of these bytes
  record_status status;
  std::string content;          // intact: the content read
};

std::string big_content() {
  std::string content(2 * 1024 * 1024 + 12345, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 7919) >> 5);
  return content;
}

std::vector<record_case> record_cases() {
  const std::string before = "previous bytes";
  const std::string text = "ZEMPOSetup.exe";
  const std::string good_digest = md5(text).digest();
  std::string wrong_digest = good_digest;
  wrong_digest[15] = static_cast<char>(wrong_digest[15] ^ 1);
  const std::string zero_digest_text = "digest with zero";
  return {
      {"intact", package_builder().raw(before).record(text).bytes(), record_status::intact, text},
      {"empty content", package_builder().raw(before).record("").bytes(), record_status::intact, ""},
      {"record at the very start", package_builder().record(text).bytes(), record_status::intact, text},
      {"content larger than a block", package_builder().raw(before).record(big_content()).bytes(),
       record_status::intact, big_content()},
      {"one digest bit wrong", package_builder().raw(before).record(text, wrong_digest).bytes(),
       record_status::damaged, ""},
      {"length one too short", package_builder().raw(before).record_with_length(text, 13, good_digest).bytes(),
       record_status::damaged, ""},
      {"length reaching one byte before the start",
       package_builder().raw(before).record_with_length(text, static_cast<std::uint32_t>(before.size() + text.size() + 1),
                                                        good_digest).bytes(),
       record_status::unreadable, ""},
      // A naive negation of N + 4 in 32 bits turns these into moves forward.
      {"length 2^31 - 3", package_builder().raw(before).record_with_length(text, 0x7ffffffdu, good_digest).bytes(),
       record_status::unreadable, ""},
      {"length 2^32 - 8", package_builder().raw(before).record_with_length(text, 0xfffffff8u, good_digest).bytes(),
       record_status::unreadable, ""},
      {"length 2^31 - 4 in a small file",
       package_builder().raw(before).record_with_length(text, 0x7ffffffcu, good_digest).bytes(),
       record_status::unreadable, ""},
      {"shorter than a digest", std::string(15, 'x'), record_status::unreadable, ""},
      {"shorter than length and digest", std::string(19, 'x'), record_status::unreadable, ""},
  };
}

TEST(read_record, answers_and_result_flag) {
  for (const record_case& c : record_cases()) {
    SCOPED_TRACE(c.name);
    const std::uint32_t end = static_cast<std::uint32_t>(c.bytes.size());
    for (bool flag_before : {true, false}) {
      memory_input_file file(c.bytes);
      ASSERT_TRUE(file.move(0, input_file::origin::end));
      std::string content = "old";
      bool result = flag_before;
      const bool read = read_record(file, content, result);
      EXPECT_EQ(read, c.status == record_status::intact);
      switch (c.status) {
        case record_status::intact:
          EXPECT_EQ(content, c.content);
          EXPECT_EQ(result, flag_before);  // success does not set the flag
          EXPECT_EQ(file.position(), end - 20 - c.content.size());
          break;
        case record_status::damaged:
          EXPECT_FALSE(result);
          break;
        case record_status::unreadable:
          EXPECT_EQ(result, flag_before);
          break;
      }
    }
  }
}

TEST(read_record, streamed_verification_and_copy_agree_with_reading_whole) {
  for (const record_case& c : record_cases()) {
    SCOPED_TRACE(c.name);
    memory_input_file file(c.bytes);
    ASSERT_TRUE(file.move(0, input_file::origin::end));
    record_span span{99, 99};
    ASSERT_EQ(verify_record(file, span), c.status);
    if (c.status != record_status::intact) continue;
    const std::uint32_t start = static_cast<std::uint32_t>(c.bytes.size() - 20 - c.content.size());
    EXPECT_EQ(span.position, start);
    EXPECT_EQ(span.size, c.content.size());
    EXPECT_EQ(file.position(), start);

    memory_output_file out;
    os_error error = 0;
    ASSERT_TRUE(copy_record_content(file, span, out, error));
    EXPECT_TRUE(out.bytes == c.content);
    EXPECT_EQ(file.position(), start);
    // Contents go through in pieces: memory does not grow with the record.
    if (c.content.size() > (1u << 20)) {
      EXPECT_GT(out.writes, 1);
    }
  }
}

}  // namespace
