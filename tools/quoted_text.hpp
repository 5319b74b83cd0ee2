#pragma once
// An archive text shown on one line between double quotes: quotes, backslashes and every byte
// that is not printable ASCII are written as C escapes (three octal digits for other bytes, which
// no following character can extend), so that the exact bytes stay visible.
#include <string>

std::string quoted_text(const std::string& text);
