// Helper process of the log tests: "log_writer <base name> <tag> <count> <event name>" waits until
// the named event is set, so that several writers start together, then attaches a log file of
// that base name and writes <count> lines "<tag> <i> <payload>" through the log. Exit code 0 when
// all went through, 3 when something threw.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include <windows.h>

#include "plinth/format.hpp"
#include "plinth/log/file.hpp"
#include "plinth/log/log.hpp"
#include "plinth/unique_handle.hpp"
#include "plinth/unicode/convert.hpp"
#include "log_writer_payload.hpp"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  try {
    plinth::unique_handle go(OpenEventA(SYNCHRONIZE, FALSE, argv[4]));
    if (!go || WaitForSingleObject(go.get(), 60000) != WAIT_OBJECT_0) return 4;
    plinth::log::attach(new plinth::log::file(argv[1]));
    const std::wstring tag = plinth::unicode::to_wide(argv[2], CP_ACP);
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i)
      plinth::log::write_w(plinth::sprintf_wstring(L"%s %d %s", tag.c_str(), i, plinth_test::log_writer_payload));
    plinth::log::detach_all();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 3;
  }
}
