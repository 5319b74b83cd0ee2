#include "installer/work_directory_path.hpp"

#include "plinth/format.hpp"

std::int32_t work_directory_number(std::int64_t seconds) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(seconds));
}

std::int32_t next_work_directory_number(std::int32_t number) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(number) + 1u);
}

std::string work_directory_name(std::int32_t number) {
  return plinth::sprintf_string("TVN%i\\", static_cast<int>(number));
}

std::string parent_directory(const std::string& work_directory) {
  if (work_directory.size() < 2) return {};
  const auto cut = work_directory.rfind('\\', work_directory.size() - 2);
  if (cut == std::string::npos) return {};
  return work_directory.substr(0, cut);
}

std::string directory_argument(const std::string& directory) {
  if (directory.size() == 2 && directory[1] == ':') return directory + "\\";
  return directory;
}
