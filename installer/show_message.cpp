#include "installer/show_message.hpp"

#include <windows.h>

void show_message(bool silent, const char* text, const char* caption) {
  if (silent) return;
  MessageBoxA(nullptr, text, caption, MB_OK);
}
