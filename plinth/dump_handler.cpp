#include "plinth/dump_handler.hpp"

#include <ctime>

#include <dbghelp.h>

#include "plinth/format.hpp"
#include "plinth/unique_handle.hpp"

namespace plinth {
namespace {

using write_dump_function = BOOL(WINAPI*)(HANDLE process, DWORD process_id, HANDLE file, MINIDUMP_TYPE type,
                                          PMINIDUMP_EXCEPTION_INFORMATION exception,
                                          PMINIDUMP_USER_STREAM_INFORMATION user_streams,
                                          PMINIDUMP_CALLBACK_INFORMATION callback);

// Process-wide, zero until installation. Everything the filter needs is prepared beforehand: it
// runs in a crashed process and allocates nothing.
HMODULE debug_help = nullptr;
write_dump_function write_dump = nullptr;
MINIDUMP_TYPE dump_type = MINIDUMP_TYPE(0);
LPTOP_LEVEL_EXCEPTION_FILTER previous_filter = nullptr;
std::string dump_path;

}  // namespace

bool install_dump_handler(const std::string& base_path) {
  if (debug_help == nullptr) {
    // The plain name: the system's usual search order finds its own copy.
    HMODULE module = LoadLibraryA("dbghelp.dll");
    if (module == nullptr) return false;
    debug_help = module;
    // Through void(*)(): the one function type that converts to any other without a warning.
    write_dump = reinterpret_cast<write_dump_function>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "MiniDumpWriteDump")));
    // The time of installation, not of a crash: one name for the life of the process.
    dump_path = sprintf_string("%s.%i.dmp", base_path.c_str(), static_cast<int>(_time64(nullptr)));
    dump_type = MiniDumpNormal;
    // Installed even without a writer; it then only passes the crash on.
    previous_filter = SetUnhandledExceptionFilter(dump_filter);
  }
  return write_dump != nullptr;
}

LONG WINAPI dump_filter(EXCEPTION_POINTERS* info) {
  if (write_dump != nullptr) {
    unique_handle file(CreateFileA(dump_path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      MINIDUMP_EXCEPTION_INFORMATION exception = {};
      exception.ThreadId = GetCurrentThreadId();
      exception.ExceptionPointers = info;
      exception.ClientPointers = FALSE;
      // A failed or partial dump changes nothing about how the crash goes on.
      write_dump(GetCurrentProcess(), GetCurrentProcessId(), file.get(), dump_type, &exception, nullptr, nullptr);
    }
  }
  return previous_filter != nullptr ? previous_filter(info) : EXCEPTION_CONTINUE_SEARCH;
}

void uninstall_dump_handler() {
  SetUnhandledExceptionFilter(previous_filter);
  if (debug_help != nullptr) {
    // Nothing may call into the library once it is unloaded.
    write_dump = nullptr;
    FreeLibrary(debug_help);
    debug_help = nullptr;
  }
}

}  // namespace plinth
