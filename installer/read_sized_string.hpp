#pragma once
// Reading a text of unknown length from a system call that fills a caller's buffer.
#include <cstdint>
#include <functional>
#include <string>

// `call(size, buffer)` writes at most `size` characters including the terminating zero and
// returns the length it wrote (less than `size`), the size it needs (at least `size`) when the
// text does not fit, or 0 on failure, as GetTempPathA does. The buffer starts at `initial_size`
// characters and grows to what the call asks for, so a long text is read whole. Empty on
// failure, and when the text keeps growing between calls.
std::string read_sized_string(const std::function<std::uint32_t(std::uint32_t size, char* buffer)>& call,
                              std::uint32_t initial_size = 260);
