#include "tools/temporary_file.hpp"

#include <boost/filesystem.hpp>
#include <cerrno>
#include <cstring>

#include "tools/tool_error.hpp"

namespace fs = boost::filesystem;

temporary_file::temporary_file(const std::string& final_path) : m_final_path(final_path) {
  // Beside the final file, so that the rename stays on one volume and cannot degrade to a copy.
  m_path = final_path + fs::unique_path(".%%%%%%%%.partial").string();
  m_stream.open(m_path, std::ios::binary | std::ios::out | std::ios::trunc);
  if (!m_stream) {
    throw tool_error("cannot create '" + m_path + "': " + std::strerror(errno));
  }
}

temporary_file::~temporary_file() {
  if (m_committed) return;
  m_stream.close();
  boost::system::error_code ignored;
  fs::remove(m_path, ignored);
}

void temporary_file::commit() {
  m_stream.close();
  if (!m_stream) throw tool_error("writing '" + m_path + "' failed");
  boost::system::error_code error;
  fs::rename(m_path, m_final_path, error);
  if (error) {
    throw tool_error("cannot rename '" + m_path + "' to '" + m_final_path + "': " + error.message());
  }
  m_committed = true;
}
