#pragma once
// Finding the archive from the end of the package: the tail record's marker text nearest the end
// of the file, at least 23 bytes in, not ending at the very last byte.
#include "archive/input_file.hpp"

// On success the file stands at the end of the tail record (22 marker bytes, then 20 bytes of
// length and digest, wherever those lie). On failure it stands where a byte-by-byte backward
// search would have left it, after the same last move, so that the thread's last error is what
// that search would have left.
bool find_archive_tail(input_file& file);
