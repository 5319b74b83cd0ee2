#pragma once
// Names and paths around the work directory, free of system calls.
#include <cstdint>
#include <string>

// The number in a work directory's name: the low 32 bits of a time in seconds since 1970, read
// as a signed value. From 2038-01-19 03:14:08 UTC on it is negative.
std::int32_t work_directory_number(std::int64_t seconds);

// The number that follows `number`, wrapping from the largest value to the smallest, so that
// the names stay those the time itself would give.
std::int32_t next_work_directory_number(std::int32_t number);

// "TVN" + the number in decimal + "\": the name of a work directory inside the temporary one.
std::string work_directory_name(std::int32_t number);

// The work directory cut before its last backslash but the trailing one: the temporary
// directory without its trailing backslash ("C:" for a work directory right under "C:\"). Empty
// when there is no such backslash.
std::string parent_directory(const std::string& work_directory);

// A directory as the system calls that take one need it: a bare drive such as "C:" names that
// drive's current directory (during a run, the work directory itself), so it becomes the
// drive's root "C:\". Any other path is returned unchanged.
std::string directory_argument(const std::string& directory);
