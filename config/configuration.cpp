#include "config/configuration.hpp"

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>

#include <shlobj.h>

#include "config/system_calls.hpp"
#include "plinth/dump_handler.hpp"
#include "plinth/exception.hpp"
#include "plinth/unicode/convert.hpp"

namespace config {
namespace {

// The process-wide values, set by the bootstrap only.
struct names {
  std::wstring suite;
  std::wstring product;
};
struct paths {
  std::wstring module_directory;
  std::wstring module_file_name;
  std::wstring common_data_directory;
  std::wstring user_data_directory;
  std::wstring common_product_directory;
  std::wstring user_product_directory;
};
names current_names;
paths current_paths;

// Whether uninstall_dump_handler is registered to run at exit.
bool dump_removal_registered = false;

const DWORD text_buffer = MAX_PATH;
// The longest path Windows hands out, in characters without the terminator.
const DWORD longest_path = 32767;

// The module's full path, however long: the buffer starts at MAX_PATH and doubles while the
// system fills it to the last character (its sign of a cut path), so that a program started from
// a deep folder still knows where it is.
std::wstring module_path(HINSTANCE module) {
  for (DWORD capacity = text_buffer;; capacity *= 2) {
    std::wstring buffer(capacity, L'\0');
    const DWORD length = calls().module_file_name(module, &buffer[0], capacity);
    if (length == 0 || (length >= capacity && capacity > longest_path))
      throw plinth::exception_w(L"Error. config::init. GetModuleFileName return 0.");
    if (length < capacity) {
      buffer.resize(length);
      return buffer;
    }
  }
}

// A system folder with its trailing backslash; false when the system has none for the id.
bool folder(int id, std::wstring& result) {
  wchar_t buffer[text_buffer] = {};
  // No window, no token, flags 0: the folder's current path, not created.
  if (FAILED(calls().folder_path(nullptr, id, nullptr, 0, buffer))) return false;
  result = std::wstring(buffer) + L"\\";
  return true;
}

std::wstring product_directory(const std::wstring& data_directory) {
  return data_directory + current_names.suite + L"\\" + current_names.product + L"\\";
}

}  // namespace

void bootstrap(HINSTANCE module) {
  // Each run starts from empty values, so a failure leaves empty every value after it.
  current_names = names();
  current_paths = paths();
  current_names.suite = load_resource_string(module, 2001);
  current_names.product = load_resource_string(module, 2002);
  init(module);
}

std::wstring load_resource_string(HINSTANCE module, int id) {
  wchar_t buffer[text_buffer] = {};
  if (LoadStringW(module, id, buffer, text_buffer) == 0)
    throw plinth::exception("resource string %d is not found", id);
  return buffer;
}

void init(HINSTANCE module) {
  current_paths = paths();

  const std::wstring path = module_path(module);
  const std::wstring::size_type separator = path.rfind(L'\\');
  if (separator == std::wstring::npos) {
    current_paths.module_file_name = path;
  } else {
    current_paths.module_directory = path.substr(0, separator + 1);
    current_paths.module_file_name = path.substr(separator + 1);
  }

  std::wstring common;
  if (!folder(CSIDL_COMMON_APPDATA, common))
    throw plinth::exception_w(L"Error. config::init. Can not find CSIDL_COMMON_APPDATA.");
  current_paths.common_data_directory = common;
  current_paths.common_product_directory = product_directory(common);

  // An account without a profile has no roaming folder: it shares the machine-wide one.
  std::wstring user;
  current_paths.user_data_directory = folder(CSIDL_APPDATA, user) ? user : common;
  current_paths.user_product_directory = product_directory(current_paths.user_data_directory);

  if (module == nullptr) init_dumps();
}

void init_dumps() {
  const std::wstring dumps = current_paths.user_product_directory + L"Dumps";
  // An existing folder is fine; a file of that name, or a folder that cannot be made, throws.
  boost::filesystem::create_directories(boost::filesystem::path(dumps));
  const std::string base = plinth::unicode::to_narrow(dumps + L"\\" + current_paths.module_file_name, CP_ACP, true);
  if (plinth::install_dump_handler(base) && !dump_removal_registered) {
    dump_removal_registered = true;
    calls().at_exit(&plinth::uninstall_dump_handler);
  }
}

std::wstring suite_name() { return current_names.suite; }
std::wstring product_name() { return current_names.product; }
std::wstring module_directory() { return current_paths.module_directory; }
std::wstring module_file_name() { return current_paths.module_file_name; }
std::wstring common_data_directory() { return current_paths.common_data_directory; }
std::wstring user_data_directory() { return current_paths.user_data_directory; }
std::wstring common_product_directory() { return current_paths.common_product_directory; }
std::wstring user_product_directory() { return current_paths.user_product_directory; }

}  // namespace config
