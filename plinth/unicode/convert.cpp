#include "plinth/unicode/convert.hpp"

#include <windows.h>

#include <vector>

namespace plinth {
namespace unicode {

bool takes_conversion_flags(unsigned int code_page) {
  switch (code_page) {
    case 42:
    case 50221:
    case 50222:
    case 50225:
    case 50227:
    case 50229:
    case 52936:
    case 54936:
    case 65000:
    case 65001:
      return false;
    default:
      return !(code_page >= 57002 && code_page <= 57011);
  }
}

std::wstring to_wide(const std::string& text, unsigned int code_page) {
  if (text.empty()) return std::wstring();
  // One UTF-16 unit per input byte is the worst case, so one call suffices.
  std::vector<wchar_t> buffer(text.size());
  const DWORD flags = takes_conversion_flags(code_page) ? MB_ERR_INVALID_CHARS : 0;
  const int written = MultiByteToWideChar(code_page, flags, text.data(), static_cast<int>(text.size()),
                                          buffer.data(), static_cast<int>(buffer.size()));
  if (written > 0) return std::wstring(buffer.data(), static_cast<std::size_t>(written));
  switch (GetLastError()) {
    case ERROR_INSUFFICIENT_BUFFER:
      throw out_of_memory();
    case ERROR_INVALID_PARAMETER:
      throw invalid_codepage();
    case ERROR_NO_UNICODE_TRANSLATION:
      throw unmappable_character();
    default:
      throw generic();
  }
}

std::string to_narrow(const std::wstring& text, unsigned int code_page, bool strict) {
  if (text.empty()) return std::string();
  CPINFO info;
  if (!GetCPInfo(code_page, &info)) throw invalid_codepage();
  std::vector<char> buffer(text.size() * info.MaxCharSize);
  BOOL used_default = FALSE;
  const bool indicate = takes_conversion_flags(code_page);
  const int written =
      WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), buffer.data(),
                          static_cast<int>(buffer.size()), nullptr, indicate ? &used_default : nullptr);
  if (indicate && used_default && strict) throw unmappable_character();
  if (written > 0) return std::string(buffer.data(), static_cast<std::size_t>(written));
  switch (GetLastError()) {
    case ERROR_INSUFFICIENT_BUFFER:
      throw out_of_memory();
    case ERROR_INVALID_PARAMETER:
      throw unmappable_character();
    default:
      throw generic();
  }
}

}  // namespace unicode
}  // namespace plinth
