#include "tests/support/message_box_watcher.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/process.hpp"
#include "tests/support/test_programs.hpp"

namespace test_support {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string message_box_exe = windows_path(KESTOR_TEST_MESSAGE_BOX_EXE);

std::string command(const std::string& arguments) {
  return "\"" + message_box_exe + "\" " + arguments;
}

TEST(message_box_watcher, records_boxes_in_order_and_presses_ok) {
  message_box_watcher watcher;
  // The program exits with the asked code only when each box ended with OK.
  EXPECT_EQ(run_process(message_box_exe, command("7 \"First caption\" \"File: x\rError: y\" Second \"two words\"")), 7u);
  ASSERT_TRUE(watcher.settle());
  EXPECT_THAT(watcher.boxes(), ElementsAre(message_box{"First caption", "File: x\rError: y"},
                                           message_box{"Second", "two words"}));
}

TEST(message_box_watcher, sees_nothing_of_a_silent_run) {
  message_box_watcher watcher;
  EXPECT_EQ(run_process(message_box_exe, command("300")), 300u);
  ASSERT_TRUE(watcher.settle());
  EXPECT_THAT(watcher.boxes(), IsEmpty());
}

TEST(message_box_watcher, waits_for_boxes_of_a_running_program_and_of_this_process) {
  message_box_watcher watcher;
  process child = start_process(message_box_exe, command("0 Background \"\""));
  ASSERT_TRUE(watcher.wait_for(1, std::chrono::seconds(30)));
  ASSERT_TRUE(child.wait(std::chrono::seconds(30)));
  EXPECT_EQ(child.exit_code(), 0u);

  // A box of the test's own thread, as code under test in this process shows it.
  EXPECT_EQ(MessageBoxA(nullptr, "In process", "Own", MB_OK), IDOK);
  ASSERT_TRUE(watcher.settle());
  EXPECT_THAT(watcher.boxes(), ElementsAre(message_box{"Background", ""}, message_box{"Own", "In process"}));
}

}  // namespace
}  // namespace test_support
