// Fuzz entry for the package reader: the input is a whole package file. The extraction runs over
// it in memory (tail search, entry walk, streamed verification and copy) and must agree with a
// literal rendering of the reading rules that holds every record whole and searches the tail one
// byte at a time: same answer, same table, same files written, same reports.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/extract_archive.hpp"
#include "archive/file_name_check.hpp"
#include "archive/md5.hpp"
#include "archive/record_format.hpp"
#include "archive/variable_table.hpp"
#include "tests/archive/memory_input_file.hpp"

namespace {

const std::string destination = "out/";

// Names starting with '!' cannot be created, so that the creation failure is reached too.
bool creatable(const std::string& path) { return path.compare(0, destination.size() + 1, destination + "!") != 0; }

class memory_files : public output_file_system {
 public:
  std::unique_ptr<output_file> create(const std::string& path, os_error& error) override {
    if (!creatable(path)) {
      error = 5;
      return nullptr;
    }
    files[path].clear();
    return std::make_unique<file>(files[path]);
  }
  void remove(const std::string& path) override { files.erase(path); }

  std::map<std::string, std::string> files;

 private:
  class file : public output_file {
   public:
    explicit file(std::string& bytes) : m_bytes(bytes) {}
    bool write(const void* data, std::size_t size, os_error&) override {
      m_bytes.append(static_cast<const char*>(data), size);
      return true;
    }

   private:
    std::string& m_bytes;
  };
};

class caption_recorder : public failure_reporter {
 public:
  void report(const std::string& caption, const std::string& path, os_error) override {
    reports.push_back(caption + " " + path);
  }
  std::vector<std::string> reports;
};

struct reading {
  bool answer = false;
  std::map<std::string, std::string> table;
  std::map<std::string, std::string> files;
  std::vector<std::string> reports;
};

// The rules as they read.
class reference_reader {
 public:
  explicit reference_reader(const std::string& bytes) : m_bytes(bytes) {}

  reading run() {
    reading r;
    const std::int64_t size = static_cast<std::int64_t>(m_bytes.size());
    m_position = size;
    for (;;) {
      if (m_position - 23 < 0 || m_position - 23 <= 22) {
        r.reports.push_back(std::string(extraction_caption::no_archive) + " package");
        return r;
      }
      m_position -= 23;
      const bool match = m_bytes.compare(static_cast<std::size_t>(m_position), 22, record_format::tail_marker) == 0;
      m_position += 22;
      if (match) break;
    }
    m_position += 20;

    bool flag = false;
    std::string kind, key, text, content;
    for (;;) {
      if (!read(kind, flag)) break;
      if (kind == record_format::tail_marker) {
        flag = true;
        continue;
      }
      if (!read(key, flag)) break;
      if (kind == record_format::kind_value) {
        if (!read(text, flag)) break;
        r.table.emplace(key, text);
      } else if (kind == record_format::kind_file) {
        if (!read(text, flag) || !read(content, flag)) break;
        if (!key.empty()) r.table.emplace(key, text);
        const std::string target = destination + text;
        if (!is_extractable_file_name(text) || !creatable(target)) {
          r.reports.push_back(std::string(extraction_caption::extract_failed) + " " + target);
          r.answer = false;
          return r;
        }
        r.files[target] = content;
      } else if (kind == record_format::kind_stub) {
        break;
      }
    }
    r.answer = flag;
    return r;
  }

 private:
  bool read(std::string& content, bool& flag) {
    const std::int64_t end = m_position;
    if (end < 20 || end > static_cast<std::int64_t>(m_bytes.size())) return false;
    const std::string digest = m_bytes.substr(static_cast<std::size_t>(end - 16), 16);
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(m_bytes[static_cast<std::size_t>(end - 20 + i)]);
    // Packages hold contents of at most 2^31 - 4 bytes; a longer length cannot be stepped over.
    if (n > record_format::max_content_length) return false;
    const std::int64_t start = end - 20 - static_cast<std::int64_t>(n);
    if (start < 0) return false;
    content = m_bytes.substr(static_cast<std::size_t>(start), n);
    if (md5(content).digest() != digest) {
      flag = false;
      return false;
    }
    m_position = start;
    return true;
  }

  const std::string& m_bytes;
  std::int64_t m_position = 0;
};

void check(bool same, const char* what) {
  if (!same) {
    std::fprintf(stderr, "extraction and reference differ in %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  memory_input_file archive(bytes);
  variable_table table;
  caption_recorder reporter;
  memory_files files;
  reading real;
  real.answer = extract_archive(archive, "package", destination, table, reporter, files);
  real.table = table.entries();
  real.files = files.files;
  real.reports = reporter.reports;

  const reading expected = reference_reader(bytes).run();
  check(real.answer == expected.answer, "the answer");
  check(real.table == expected.table, "the table");
  check(real.files == expected.files, "the files");
  check(real.reports == expected.reports, "the reports");
  return 0;
}
