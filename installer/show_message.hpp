#pragma once
// The stub's only way of talking to the user.

// A message box without owner window and with one OK button, shown only when `silent` is false;
// returns once the user has closed it.
void show_message(bool silent, const char* text, const char* caption);
