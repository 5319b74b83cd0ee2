#pragma once
// The run's own directory under the user's temporary directory: made fresh at the start, left
// and deleted at the end.
#include <cstdint>
#include <string>

// The user's temporary directory as the system reports it (normally with a trailing backslash),
// read whole however long it is; empty when the system call fails.
std::string get_temp_path();

// How many names make_work_directory tries before it gives up.
constexpr int work_directory_tries = 1000;

// Makes a new work directory "TVN<number>\" in the temporary directory, the number taken from the
// current time, and returns its path with a trailing backslash. Without a temporary directory it
// says so (unless silent) and uses "C:\Temp\", creating it when missing. The directory is always
// one this call created: an existing one is never reused (it may hold planted files, or belong
// to a run started in the same second), the following numbers are tried instead. Empty when no
// new directory could be made.
std::string make_work_directory(bool silent);

// The same in the given temporary directory (empty: none) at the given time, in seconds since
// 1970, trying at most `tries` names.
std::string make_work_directory_in(const std::string& temp_path, std::int64_t now, bool silent,
                                   int tries = work_directory_tries);

// Moves the current directory to the work directory's parent and deletes the work directory as
// far as possible; failures are ignored.
void leave_work_directory(const std::string& work_directory);

// remove_tree over the Windows file system.
bool remove_tree(const std::string& path);
