// kestor-pack extract: writes into a directory exactly what the stub would extract, and shows the
// values it would take from the archive.
#include <boost/filesystem.hpp>
#include <deque>
#include <iostream>
#include <memory>

#include "archive/extract_archive.hpp"
#include "archive/failure_reporter.hpp"
#include "archive/input_file.hpp"
#include "archive/output_file.hpp"
#include "archive/variable_table.hpp"
#include "tools/argument_cursor.hpp"
#include "tools/commands.hpp"
#include "tools/progress_input_file.hpp"
#include "tools/progress_meter.hpp"
#include "tools/quoted_text.hpp"
#include "tools/tool_error.hpp"

const char extract_help[] =
    "Usage: kestor-pack extract PACKAGE DIR\n"
    "\n"
    "Extracts PACKAGE into DIR with the stub's own extraction: every file entry is written\n"
    "under its stored name, in the order the stub meets it, and the variables the stub would\n"
    "take from the archive are printed as \"KEY\" = \"TEXT\" (with C escapes). DIR is created\n"
    "when it does not exist. Failures are reported with the captions of the stub's message\n"
    "boxes.\n"
    "\n"
    "Exit code 0 when the stub would accept the package and every file was written, 1\n"
    "otherwise, 2 for a wrong command line.\n";

namespace {

#if defined(_WIN32)
constexpr char separator = '\\';
#else
constexpr char separator = '/';
#endif

// The stub's message boxes, as lines on standard error.
class error_stream_reporter : public failure_reporter {
 public:
  void report(const std::string& caption, const std::string& path, os_error code) override {
    std::cerr << "kestor-pack extract: " << caption << " File: " << path
              << " Error: " << os_error_text(code) << '\n';
  }
};

// The machine's file system, noting each file the extraction writes and how much it holds.
class noting_output_files : public output_file_system {
 public:
  struct written {
    std::string path;
    std::uint64_t size = 0;
  };

  std::unique_ptr<output_file> create(const std::string& path, os_error& error) override {
    std::unique_ptr<output_file> file = system_output_files().create(path, error);
    if (!file) return file;
    m_written.push_back(written{path, 0});
    return std::make_unique<counted_file>(std::move(file), m_written.back().size);
  }

  void remove(const std::string& path) override {
    system_output_files().remove(path);
    for (auto it = m_written.begin(); it != m_written.end(); ++it) {
      if (it->path == path) {
        m_written.erase(it);
        break;
      }
    }
  }

  const std::deque<written>& files() const { return m_written; }

 private:
  class counted_file : public output_file {
   public:
    counted_file(std::unique_ptr<output_file> file, std::uint64_t& size)
        : m_file(std::move(file)), m_size(size) {}
    bool write(const void* data, std::size_t size, os_error& error) override {
      if (!m_file->write(data, size, error)) return false;
      m_size += size;
      return true;
    }

   private:
    std::unique_ptr<output_file> m_file;
    std::uint64_t& m_size;
  };

  // Open files count into their entry by reference, which a deque keeps valid as it grows.
  std::deque<written> m_written;
};

}  // namespace

int extract_command(const arguments& args) {
  argument_cursor cursor(args);
  std::vector<std::string> operands;
  while (!cursor.done()) {
    const std::string argument = cursor.next();
    if (is_option(argument)) throw usage_error("unknown option '" + argument + "'");
    operands.push_back(argument);
  }
  if (operands.size() != 2) throw usage_error("give a package and a directory");
  const std::string& path = operands[0];
  std::string destination = operands[1];

  boost::system::error_code error;
  boost::filesystem::create_directories(destination, error);
  if (error) throw tool_error("cannot create '" + destination + "': " + error.message());
  // The stub appends the stored names to its work directory as they stand.
  if (destination.back() != separator && destination.back() != '/') destination += separator;

  error_stream_reporter reporter;
  os_error open_error = 0;
  const std::unique_ptr<input_file> file = open_input_file(path, open_error);
  if (!file) {
    reporter.report(extraction_caption::open_failed, path, open_error);
    return 1;
  }
  boost::system::error_code size_error;
  const std::uint64_t size = boost::filesystem::file_size(path, size_error);
  progress_meter meter("extracting " + path, 0, size_error ? 0 : size);
  progress_input_file archive(*file, meter);

  variable_table table;
  noting_output_files files;
  const bool accepted = extract_archive(archive, path, destination, table, reporter, files);

  for (const auto& written : files.files()) {
    std::cout << "wrote " << written.path << " (" << written.size << " bytes)\n";
  }
  for (const auto& pair : table.entries()) {
    std::cout << quoted_text(pair.first) << " = " << quoted_text(pair.second) << '\n';
  }
  if (!accepted) {
    std::cerr << "kestor-pack extract: the stub does not accept " << path
              << " (see 'kestor-pack list')\n";
    return 1;
  }
  return 0;
}
