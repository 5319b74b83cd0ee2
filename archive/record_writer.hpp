#pragma once
// Writes the records and entries of a chunked archive to a binary output stream, in file order.
//
// A record's length and digest stand behind its content, so a content of any size is copied in
// one pass: the digest and the length are taken while the bytes go through, and no content is
// ever held whole in memory.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>

class record_writer {
 public:
  // A write that failed or a record or package beyond the limits of record_format.
  class error : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
  };

  // Called while a streamed content is copied, with the bytes of that content copied so far.
  using progress_function = std::function<void(std::uint64_t copied)>;

  // `out` is a binary stream standing at the start of the package: the limits are counted
  // from there.
  explicit record_writer(std::ostream& out);

  record_writer(const record_writer&) = delete;
  record_writer& operator=(const record_writer&) = delete;

  // One record with `content`.
  void write_record(const std::string& content);
  // One record whose content is everything `in` yields until its end.
  void write_record(std::istream& in, const progress_function& progress = {});

  // Entries, each as its records in file order (the kind record last).
  void write_value_entry(const std::string& key, const std::string& value);
  void write_file_entry(const std::string& key, const std::string& name, std::istream& content,
                        const progress_function& progress = {});
  void write_stub_entry(std::istream& image, const std::string& name, const std::string& key,
                        const progress_function& progress = {});
  void write_tail();

  // Bytes written so far.
  std::uint64_t size() const { return m_size; }

  // The size of a record with a content of `content_size` bytes.
  static std::uint64_t record_size(std::uint64_t content_size);

 private:
  void put(const char* data, std::size_t size);
  void finish_record(std::uint64_t content_size, const std::string& digest);
  void check_content_size(std::uint64_t content_size) const;

  std::ostream& m_out;
  std::uint64_t m_size = 0;
};
