#pragma once
// Conversion between narrow text in a Windows code page and UTF-16, one converter call each.
#include <string>

#include "plinth/unicode/exceptions.hpp"

namespace plinth {
namespace unicode {

// Narrow text in code_page to UTF-16. Throws invalid_codepage, unmappable_character (input not
// valid in a code page that can tell), out_of_memory or generic.
std::wstring to_wide(const std::string& text, unsigned int code_page);

// UTF-16 to narrow text in code_page. With strict set, a character the code page cannot
// represent throws unmappable_character instead of becoming the replacement character.
std::string to_narrow(const std::wstring& text, unsigned int code_page, bool strict);

// Code pages whose converter accepts no flags (MB_ERR_INVALID_CHARS, the default-char indicator).
bool takes_conversion_flags(unsigned int code_page);

}  // namespace unicode
}  // namespace plinth
