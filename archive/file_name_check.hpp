#pragma once
// Whether a stored file name may be extracted. The name is appended to the work directory as it
// stands, by a process that runs with administrator rights, so a name that could leave that
// directory or name something else than a file in it is refused: empty, "." or "..", or any
// "\", "/" or ":" (drive letters, alternate data streams).
#include <string>

bool is_extractable_file_name(const std::string& name);
