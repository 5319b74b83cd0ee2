#pragma once
// A file written under a temporary name beside its final one and renamed into place only once it
// is complete, so that a run that fails half-way never leaves a partial file under the final name.
#include <fstream>
#include <string>

class temporary_file {
 public:
  // Creates the temporary file in the directory of `final_path`; throws tool_error on failure.
  explicit temporary_file(const std::string& final_path);
  temporary_file(const temporary_file&) = delete;
  temporary_file& operator=(const temporary_file&) = delete;
  // Removes the temporary file unless it was committed.
  ~temporary_file();

  std::ostream& stream() { return m_stream; }

  // Closes the file and renames it to the final name, replacing a file of that name.
  void commit();

 private:
  std::string m_final_path;
  std::string m_path;
  std::ofstream m_stream;
  bool m_committed = false;
};
