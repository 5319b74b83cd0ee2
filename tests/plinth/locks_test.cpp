#include <atomic>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>

#include "plinth/exception.hpp"
#include "plinth/format.hpp"
#include "plinth/mutex.hpp"
#include "plinth/real_mutex.hpp"
#include "plinth/scope.hpp"
#include "tests/support/process.hpp"
#include "tests/support/test_programs.hpp"

namespace {

using plinth::real_mutex;

// A name no other test run shares.
std::string unique_name(const char* what) {
  static std::atomic<int> counter{0};
  return plinth::sprintf_string("kestor-test-%s-%lu-%d", what, GetCurrentProcessId(), ++counter);
}

// Runs the lock holder on the name: 1 when it got the mutex (and ended holding it), 0 when not.
DWORD run_lock_holder(const std::string& name) {
  return test_support::run_process("", "\"" + test_support::windows_path(PLINTH_LOCK_HOLDER_EXE) + "\" " + name);
}

// Runs f on a thread of its own and returns its result.
template <typename F>
auto on_other_thread(F f) {
  return std::async(std::launch::async, f).get();
}

TEST(real_mutex_name, normalisation_by_major_version) {
  struct row {
    const char* name;
    unsigned long major;
    const char* expected;
  };
  const row rows[] = {
      {"Tovrelin.Installation", 6, "Global\\Tovrelin.Installation"},
      {"x", 5, "Global\\x"},
      {"x", 10, "Global\\x"},
      {"log-C:_Temp_Kestor", 6, "Global\\log-C:_Temp_Kestor"},
      {"Global\\x", 6, "Global\\x"},
      {"Local\\x", 6, "Local\\x"},
      {"a\\b\\c", 6, "a\\b\\c"},
      {"x", 4, "x"},
      {"Global\\x", 4, "x"},
      {"Local\\x", 4, "x"},
      {"a\\b\\c", 4, "c"},
      {"a\\", 4, ""},
      {"Global\\x", 3, "x"},
  };
  for (const row& r : rows)
    EXPECT_EQ(r.expected, plinth::normalised_mutex_name(r.name, r.major)) << r.name << " / " << r.major;
}

// Counts what a guard does to its target.
class counting_lock final : public plinth::scope_semantics {
 public:
  void lock() override { ++locks; }
  void unlock() override { ++unlocks; }
  int locks = 0;
  int unlocks = 0;
};

TEST(scope, guards_one_acquisition_and_releases_it_once) {
  counting_lock target;
  {
    plinth::scope guard(&target);
    EXPECT_EQ(1, target.locks);
    guard.lock();
    EXPECT_EQ(2, target.locks);
    EXPECT_EQ(0, target.unlocks);
  }
  EXPECT_EQ(1, target.unlocks);
  {
    plinth::scope guard(&target);
    guard.unlock();
    EXPECT_EQ(2, target.unlocks);
    guard.unlock();
  }
  EXPECT_EQ(2, target.unlocks);

  plinth::scope empty(nullptr);
  empty.lock();
  empty.unlock();
}

TEST(mutex, excludes_other_threads_and_is_recursive) {
  plinth::mutex lock;
  long counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        plinth::scope outer(&lock);
        plinth::scope inner(&lock);
        const long seen = counter;
        if (i % 1000 == 0) std::this_thread::yield();
        counter = seen + 1;
      }
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(80000, counter);
}

TEST(real_mutex, two_objects_of_one_name_exclude_each_other_across_threads) {
  const std::string name = unique_name("threads");
  real_mutex first(name);
  ASSERT_TRUE(first.try_lock(0));
  // Recursive for the holder: a second acquisition needs a second release.
  ASSERT_TRUE(first.try_lock(0));

  auto other_thread_tries = [&] {
    real_mutex second(name);
    const bool got = second.try_lock(0);
    if (got) second.unlock();
    return got;
  };
  EXPECT_FALSE(on_other_thread(other_thread_tries));
  first.unlock();
  EXPECT_FALSE(on_other_thread(other_thread_tries));
  first.unlock();
  EXPECT_TRUE(on_other_thread(other_thread_tries));
}

TEST(real_mutex, a_guard_holds_it_for_the_block) {
  const std::string name = unique_name("guard");
  real_mutex first(name);
  real_mutex second(name);
  auto other_thread_tries = [&] {
    const bool got = second.try_lock(0);
    if (got) second.unlock();
    return got;
  };
  {
    plinth::scope guard(&first);
    EXPECT_FALSE(on_other_thread(other_thread_tries));
  }
  EXPECT_TRUE(on_other_thread(other_thread_tries));
}

TEST(real_mutex, unlock_without_holding_throws_the_system_code) {
  const std::string name = unique_name("unlock");
  real_mutex first(name);
  ASSERT_TRUE(first.try_lock(0));
  const std::string expected = plinth::sprintf_string("ReleaseMutex returned 0x%08x", ERROR_NOT_OWNER);
  EXPECT_EQ("ReleaseMutex returned 0x00000120", expected);

  const std::string thrown = on_other_thread([&]() -> std::string {
    real_mutex second(name);
    try {
      second.unlock();
    } catch (const plinth::exception& e) {
      return e.what();
    }
    return "nothing thrown";
  });
  EXPECT_EQ("[" + expected + "]", thrown);
  first.unlock();
  // Released: now the holder itself holds nothing either.
  try {
    first.unlock();
    ADD_FAILURE() << "second unlock did not throw";
  } catch (const plinth::exception& e) {
    EXPECT_EQ(expected, e.message());
    EXPECT_STREQ("", e.kind());
  }
}

TEST(real_mutex, a_name_taken_by_another_kind_of_object_cannot_be_opened) {
  const std::string name = unique_name("event");
  plinth::unique_handle event(CreateEventA(nullptr, TRUE, FALSE, ("Global\\" + name).c_str()));
  ASSERT_TRUE(event.valid());
  try {
    real_mutex lock(name);
    ADD_FAILURE() << "constructed";
  } catch (const plinth::exception& e) {
    EXPECT_STREQ("[OpenMutex returned 0x00000006]", e.what());  // ERROR_INVALID_HANDLE
  }
}

TEST(real_mutex, another_process_is_refused_and_then_leaves_it_abandoned) {
  const std::string name = unique_name("process");
  real_mutex mine(name);
  ASSERT_TRUE(mine.try_lock(0));

  EXPECT_EQ(0u, run_lock_holder(name));  // not acquired

  mine.unlock();
  EXPECT_EQ(1u, run_lock_holder(name));  // acquired, and ended without releasing

  // The owner is gone: the next attempt acquires the abandoned mutex.
  EXPECT_TRUE(mine.try_lock(0));
  EXPECT_EQ(0u, run_lock_holder(name));
  mine.unlock();
}

}  // namespace
