#pragma once
#include <string>

// The full path of the process's executable file (the package itself), read whole however long
// it is: a package started from a deep download folder must still find its own archive.
std::string module_path();
