#include "tools/package_plan.hpp"

#include <boost/filesystem.hpp>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

#include "archive/file_name_check.hpp"
#include "archive/record_format.hpp"
#include "archive/record_writer.hpp"
#include "tools/package_reading.hpp"
#include "tools/progress_meter.hpp"
#include "tools/tool_error.hpp"

namespace fs = boost::filesystem;

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// The size of a readable regular file; what stands in the way otherwise.
std::uint64_t input_size(const std::string& path, const std::string& what) {
  boost::system::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status)) {
    throw tool_error("cannot read " + what + " " + quoted(path) + ": " +
                     (error ? error.message() : std::string("no such file")));
  }
  if (!fs::is_regular_file(status)) {
    throw tool_error("cannot read " + what + " " + quoted(path) + ": not a regular file");
  }
  std::ifstream probe(path, std::ios::binary);
  if (!probe) {
    throw tool_error("cannot read " + what + " " + quoted(path) + ": " + std::strerror(errno));
  }
  const std::uint64_t size = fs::file_size(path, error);
  if (error) throw tool_error("cannot read " + what + " " + quoted(path) + ": " + error.message());
  if (size > record_format::max_content_length) {
    throw tool_error(what + " " + quoted(path) + " holds " + std::to_string(size) +
                     " bytes; a record holds at most " +
                     std::to_string(record_format::max_content_length));
  }
  return size;
}

std::uint64_t text_record(const std::string& text) { return record_writer::record_size(text.size()); }

void check_text(const std::string& text, const std::string& what) {
  if (text.size() > record_format::max_content_length) {
    throw tool_error(what + " is longer than a record can hold");
  }
}

// The keys the stub sets itself before it reads the archive; the archive cannot change them.
bool is_driver_key(const std::string& key) { return key == "source" || key == "commandline"; }

}  // namespace

std::vector<std::string> check_plan(package_plan& plan) {
  plan.stub_size = input_size(plan.stub_path, "stub image");
  std::uint32_t tail_end = 0;
  if (carries_archive(plan.stub_path, tail_end)) {
    throw tool_error("stub image " + quoted(plan.stub_path) +
                     " already carries an archive (its tail record ends at offset " +
                     std::to_string(tail_end) + "); pack the bare stub");
  }
  if (plan.stub_name.empty()) plan.stub_name = fs::path(plan.stub_path).filename().string();

  std::vector<std::string> warnings;
  std::map<std::string, std::string> stored;  // stored name -> source, to find clashes
  for (planned_entry& entry : plan.entries) {
    check_text(entry.key, "key " + quoted(entry.key));
    if (is_driver_key(entry.key)) {
      warnings.push_back("the stub sets " + quoted(entry.key) +
                         " itself before it reads the archive; the entry's value is never used");
    }
    if (entry.type == planned_entry::entry_type::value) {
      check_text(entry.text, "the value of " + quoted(entry.key));
      continue;
    }
    entry.size = input_size(entry.path, "file");
    if (!entry.name_given) entry.name = fs::path(entry.path).filename().string();
    if (!is_extractable_file_name(entry.name)) {
      throw tool_error("stored name " + quoted(entry.name) + " of file " + quoted(entry.path) +
                       " would be refused by the stub: a name must not be empty, \".\" or \"..\" "
                       "and must not contain \\, / or :" +
                       (entry.name_given ? "" : " (give one with --name)"));
    }
    const auto clash = stored.emplace(entry.name, entry.path);
    if (!clash.second) {
      warnings.push_back("files " + quoted(clash.first->second) + " and " + quoted(entry.path) +
                         " are both stored as " + quoted(entry.name) +
                         "; the stub writes both, and the one given first stays on disk");
    }
  }

  const std::uint64_t size = package_size(plan);
  if (size >= record_format::package_size_limit) {
    throw tool_error("the package would be " + std::to_string(size) +
                     " bytes; a package must be smaller than 4 GiB (4294967296 bytes)");
  }
  return warnings;
}

std::uint64_t package_size(const package_plan& plan) {
  std::uint64_t size = record_writer::record_size(plan.stub_size) + text_record(plan.stub_name) +
                       text_record(record_format::stub_key) + text_record(record_format::kind_stub);
  for (const planned_entry& entry : plan.entries) {
    size += text_record(entry.key);
    if (entry.type == planned_entry::entry_type::value) {
      size += text_record(entry.text) + text_record(record_format::kind_value);
    } else {
      size += record_writer::record_size(entry.size) + text_record(entry.name) +
              text_record(record_format::kind_file);
    }
  }
  return size + text_record(record_format::tail_marker);
}

namespace {

// A content read from its file in blocks while it is written; the sizes checked before are
// checked again by the writer, in case the file changed meanwhile.
class content_source {
 public:
  content_source(const std::string& path, std::uint64_t size, const std::string& what)
      : m_stream(path, std::ios::binary), m_meter("packing " + path, size, size) {
    if (!m_stream) {
      throw tool_error("cannot read " + what + " " + quoted(path) + ": " + std::strerror(errno));
    }
  }

  std::istream& stream() { return m_stream; }
  record_writer::progress_function progress() {
    return [this](std::uint64_t copied) { m_meter.update(copied); };
  }

 private:
  std::ifstream m_stream;
  progress_meter m_meter;
};

}  // namespace

void write_package(const package_plan& plan, std::ostream& out) {
  record_writer writer(out);
  std::string current = "the stub image " + quoted(plan.stub_path);
  try {
    {
      content_source image(plan.stub_path, plan.stub_size, "stub image");
      writer.write_stub_entry(image.stream(), plan.stub_name, record_format::stub_key,
                              image.progress());
    }
    for (const planned_entry& entry : plan.entries) {
      if (entry.type == planned_entry::entry_type::value) {
        current = "the value " + quoted(entry.key);
        writer.write_value_entry(entry.key, entry.text);
      } else {
        current = "the file " + quoted(entry.path);
        content_source content(entry.path, entry.size, "file");
        writer.write_file_entry(entry.key, entry.name, content.stream(), content.progress());
      }
    }
    current = "the tail record";
    writer.write_tail();
  } catch (const record_writer::error& e) {
    throw tool_error(std::string(e.what()) + " (at " + current + ")");
  }
}
