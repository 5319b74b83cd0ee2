#pragma once
// Who the program is and where its files live: the suite and product names from the module's
// string resources, and the directories derived from them and the system's application data
// folders. config::bootstrap fills every value once at start-up; afterwards they are read-only.
#include <string>

#include <windows.h>

namespace config {

// Loads string 2001 as the suite name and 2002 as the product name, then runs init. Throws as
// those two do; a failure leaves the values after it empty.
void bootstrap(HINSTANCE module);

// The string resource id of the module, at most 259 characters (longer ones are cut). Throws
// plinth::exception "resource string <id> is not found".
std::wstring load_resource_string(HINSTANCE module, int id);

// Sets the module's directory and file name and the data and product directories; needs both
// names. A null module stands for the process's executable and also prepares crash dumps
// (init_dumps). Throws plinth::exception_w when the module path or the machine-wide data folder
// cannot be found, and the file-system error of init_dumps.
void init(HINSTANCE module);

// Creates the user product directory's "Dumps" folder (with the folders above it) and installs
// the crash-dump handler for the module's file name there, its removal registered at exit once
// per process. Throws boost::filesystem::filesystem_error, and the conversion errors of
// plinth::unicode when the path does not fit the ANSI code page.
void init_dumps();

// Copies of the values; empty before the bootstrap. Every directory ends with one backslash.
std::wstring suite_name();
std::wstring product_name();
std::wstring module_directory();
std::wstring module_file_name();
std::wstring common_data_directory();
std::wstring user_data_directory();     // the common data directory when the user has none
std::wstring common_product_directory();  // common data directory + suite\product\ .
std::wstring user_product_directory();    // user data directory + suite\product\ .

}  // namespace config
