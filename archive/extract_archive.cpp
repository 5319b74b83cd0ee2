#include "archive/extract_archive.hpp"

#include "archive/archive_walk.hpp"
#include "archive/file_name_check.hpp"
#include "archive/read_record.hpp"
#include "archive/tail_search.hpp"
#include "archive/variable_table.hpp"

namespace {

// Puts value entries into the table and writes file entries into the destination directory.
class extraction : public archive_observer {
 public:
  extraction(const std::string& destination, variable_table& table, failure_reporter& reporter,
             output_file_system& files)
      : m_destination(destination), m_table(table), m_reporter(reporter), m_files(files) {}

  bool on_entry(const archive_entry& entry, input_file& archive) override {
    switch (entry.kind) {
      case entry_kind::value:
        m_table.insert_if_absent(entry.key, entry.text);
        return true;
      case entry_kind::file:
        if (!entry.key.empty()) m_table.insert_if_absent(entry.key, entry.text);
        return write_file(entry, archive);
      case entry_kind::tail:
      case entry_kind::stub:
      case entry_kind::unknown:
        break;
    }
    return true;
  }

 private:
  // The content has been verified already, so a failure here is the destination's: it ends the
  // extraction at once.
  bool write_file(const archive_entry& entry, input_file& archive) {
    const std::string target = m_destination + entry.text;
    if (!is_extractable_file_name(entry.text)) return failed(target, invalid_name_error());
    os_error error = 0;
    std::unique_ptr<output_file> out = m_files.create(target, error);
    if (!out) return failed(target, error);
    if (!copy_record_content(archive, entry.content, *out, error)) {
      // A partly written program must not stay behind to be started by anyone.
      out.reset();
      m_files.remove(target);
      return failed(target, error);
    }
    return true;
  }

  bool failed(const std::string& target, os_error error) {
    m_reporter.report(extraction_caption::extract_failed, target, error);
    return false;
  }

  const std::string& m_destination;
  variable_table& m_table;
  failure_reporter& m_reporter;
  output_file_system& m_files;
};

}  // namespace

bool extract_archive(input_file& archive, const std::string& archive_path, const std::string& destination,
                     variable_table& table, failure_reporter& reporter, output_file_system& files) {
  if (!find_archive_tail(archive)) {
    const os_error error = last_os_error();
    reporter.report(extraction_caption::no_archive, archive_path, error);
    return false;
  }
  extraction observer(destination, table, reporter, files);
  const walk_outcome outcome = walk_archive(archive, observer);
  return outcome.stop != walk_stop::observer && outcome.result;
}

bool extract_archive(const std::string& archive_path, const std::string& destination, variable_table& table,
                     failure_reporter& reporter, output_file_system& files) {
  os_error error = 0;
  const std::unique_ptr<input_file> archive = open_input_file(archive_path, error);
  if (!archive) {
    reporter.report(extraction_caption::open_failed, archive_path, error);
    return false;
  }
  return extract_archive(*archive, archive_path, destination, table, reporter, files);
}

bool extract_archive(std::string archive_path, std::string destination, bool silent, variable_table& table) {
  system_failure_reporter reporter(silent);
  return extract_archive(archive_path, destination, table, reporter, system_output_files());
}
