#pragma once
// What each line of the log writer carries after its tag and number: text outside the ANSI code
// page, long enough that interleaved writes would show.
namespace plinth_test {

constexpr const wchar_t* log_writer_payload =
    L"Grüße 日本 ✓ 0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz"
    L"0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz end";

}  // namespace plinth_test
