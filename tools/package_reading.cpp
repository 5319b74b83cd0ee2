#include "tools/package_reading.hpp"

#include <boost/filesystem.hpp>
#include <memory>

#include "archive/extract_archive.hpp"
#include "archive/file_name_check.hpp"
#include "archive/read_record.hpp"
#include "archive/record_format.hpp"
#include "archive/tail_search.hpp"
#include "tools/progress_input_file.hpp"
#include "tools/progress_meter.hpp"

namespace {

class entry_collector : public archive_observer {
 public:
  explicit entry_collector(package_reading& reading) : m_reading(reading) {}

  bool on_entry(const archive_entry& entry, input_file&) override {
    m_reading.entries.push_back(entry);
    // The stub's extraction stops at the first file it may not create.
    if (entry.kind == entry_kind::file && !is_extractable_file_name(entry.text)) {
      m_reading.name_refused = true;
      return false;
    }
    return true;
  }

 private:
  package_reading& m_reading;
};

std::uint64_t file_size(const std::string& path) {
  boost::system::error_code error;
  const auto size = boost::filesystem::file_size(path, error);
  return error ? 0 : size;
}

}  // namespace

std::string package_reading::failure_caption() const {
  if (!opened) return extraction_caption::open_failed;
  if (!tail_found) return extraction_caption::no_archive;
  if (name_refused) return extraction_caption::extract_failed;
  return std::string();
}

package_reading read_package(const std::string& path) {
  package_reading reading;
  reading.size = file_size(path);
  const std::unique_ptr<input_file> file = open_input_file(path, reading.error);
  if (!file) return reading;
  reading.opened = true;

  progress_meter meter("reading " + path, reading.size, reading.size);
  progress_input_file archive(*file, meter);
  if (!find_archive_tail(archive)) {
    reading.error = last_os_error();
    return reading;
  }
  reading.tail_found = true;
  reading.tail_end = archive.position();
  entry_collector collector(reading);
  reading.outcome = walk_archive(archive, collector);
  reading.certificate_table = find_certificate_table(*file);
  return reading;
}

bool carries_archive(const std::string& path, std::uint32_t& tail_end) {
  os_error error = 0;
  const std::unique_ptr<input_file> file = open_input_file(path, error);
  if (!file || !find_archive_tail(*file)) return false;
  tail_end = file->position();
  std::string content;
  return load_record(*file, content) == record_status::intact &&
         content == std::string(record_format::tail_marker, record_format::tail_marker_size);
}
