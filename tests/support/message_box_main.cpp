// Shows message boxes for the watcher's test and exits with a given code:
//   kestor_test_message_box.exe <exit code> [<caption> <text>]...
// Each box is MessageBoxA without owner, MB_OK, in the order given. A box that does not end with
// OK makes the exit code 0xBADB0000 + the box's index instead.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 2 || argc % 2 != 0) {
    return 0xBADBFFFF;
  }
  unsigned long code = std::strtoul(argv[1], nullptr, 10);
  for (int i = 2; i + 1 < argc; i += 2) {
    if (MessageBoxA(nullptr, argv[i + 1], argv[i], MB_OK) != IDOK) {
      return static_cast<int>(0xBADB0000u + static_cast<unsigned>(i / 2 - 1));
    }
  }
  return static_cast<int>(code);
}
