#pragma once
// A fresh directory under the system's temporary directory for one test, removed with what it
// holds at the end; plus the few file helpers the extraction tests need. Portable, so that the
// same tests run natively and under Wine.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>

class scratch_directory {
 public:
  scratch_directory() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_path = std::filesystem::temp_directory_path() /
             ("kestor-extract-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(m_path);
  }
  ~scratch_directory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  scratch_directory(const scratch_directory&) = delete;
  scratch_directory& operator=(const scratch_directory&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  // The directory as the extraction wants it: with its trailing separator.
  std::string destination() const { return with_separator(m_path); }
  std::string file(const std::string& name) const { return (m_path / name).string(); }

  static std::string with_separator(const std::filesystem::path& directory) {
    return directory.string() + static_cast<char>(std::filesystem::path::preferred_separator);
  }

 private:
  std::filesystem::path m_path;
};

inline void write_bytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Everything in a directory, by name: a file with its content, anything else as "<directory>".
inline std::map<std::string, std::string> directory_files(const std::filesystem::path& directory) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error))
    files[entry.path().filename().string()] = entry.is_regular_file() ? read_bytes(entry.path()) : "<directory>";
  return files;
}
