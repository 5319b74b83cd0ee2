#pragma once
// Extraction of the chunked archive appended to a package: every file entry is written into the
// destination directory, every value entry (and the key of every file entry) is put into the
// variable table without replacing a key already present. The answer is true only for a
// complete, intact archive whose files could all be written; failures are reported through
// message boxes (none when silent), never by an exception.
#include <string>

#include "archive/failure_reporter.hpp"
#include "archive/input_file.hpp"
#include "archive/output_file.hpp"

class variable_table;

struct extraction_caption {
  static constexpr char open_failed[] = "Failed to open archive!";
  static constexpr char no_archive[] = "Failed to initialize archive!";
  static constexpr char extract_failed[] = "Failed to extract file!";
};

// `destination` ends with the path separator; stored file names are appended to it directly.
bool extract_archive(std::string archive_path, std::string destination, bool silent,
                     variable_table& table);

// The same with the reporting and the written files in the caller's hands (the packer).
bool extract_archive(const std::string& archive_path, const std::string& destination,
                     variable_table& table, failure_reporter& reporter, output_file_system& files);

// From an archive already open; `archive_path` only names it in reports.
bool extract_archive(input_file& archive, const std::string& archive_path,
                     const std::string& destination, variable_table& table,
                     failure_reporter& reporter, output_file_system& files);
