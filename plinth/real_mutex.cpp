#include "plinth/real_mutex.hpp"

#include "plinth/exception.hpp"

#include <windows.h>

namespace plinth {
namespace {

static_assert(sizeof(OSVERSIONINFOA) == 148, "GetVersionExA is told the size of the record");
#if !defined(_WIN64)
static_assert(sizeof(SECURITY_ATTRIBUTES) == 12, "the 32-bit record");
#endif

unsigned long system_major_version() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) return 0;
  return info.dwMajorVersion;
}

}  // namespace

std::string normalised_mutex_name(const std::string& name, unsigned long major_version) {
  const std::string::size_type last_backslash = name.rfind('\\');
  if (major_version > 4) return last_backslash == std::string::npos ? "Global\\" + name : name;
  return last_backslash == std::string::npos ? name : name.substr(last_backslash + 1);
}

real_mutex::real_mutex(const std::string& name) {
  // A present but empty (null) access list: every account on the machine may use the object,
  // so that installations started by different users still exclude each other.
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
  SECURITY_ATTRIBUTES attributes;
  attributes.nLength = sizeof(attributes);
  attributes.lpSecurityDescriptor = &descriptor;
  attributes.bInheritHandle = FALSE;

  const std::string object_name = normalised_mutex_name(name, system_major_version());
  // An existing object of this name is simply opened by CreateMutexA; only when that is refused
  // do we ask for the one right that releasing needs.
  m_handle.reset(CreateMutexA(&attributes, FALSE, object_name.c_str()));
  if (!m_handle) m_handle.reset(OpenMutexA(MUTEX_MODIFY_STATE, FALSE, object_name.c_str()));
  if (!m_handle) throw exception("OpenMutex returned 0x%08x", static_cast<unsigned>(GetLastError()));
}

bool real_mutex::try_lock(unsigned long milliseconds) {
  switch (WaitForSingleObject(m_handle.get(), milliseconds)) {
    case WAIT_TIMEOUT:
      return false;
    case WAIT_FAILED:
      throw exception("WaitForSingleObject returned 0x%08x", static_cast<unsigned>(GetLastError()));
    default:
      // WAIT_OBJECT_0, and WAIT_ABANDONED when the previous owner ended without releasing:
      // either way this thread holds the mutex now.
      return true;
  }
}

void real_mutex::lock() { try_lock(INFINITE); }

void real_mutex::unlock() {
  if (!ReleaseMutex(m_handle.get()))
    throw exception("ReleaseMutex returned 0x%08x", static_cast<unsigned>(GetLastError()));
}

}  // namespace plinth
