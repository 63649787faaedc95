// The playback thread wrapper: it runs its routine once, applies its priority from inside the
// new thread, deletes itself when asked, and refuses a second start while running.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <thread>

#include "platform/core/thread_priority.h"
#include "sound/openal_thread.h"

namespace {

std::atomic<int> sRuns{0};
std::atomic<int> sNiceSeen{-100};
std::atomic<bool> sRelease{false};

void* countRun(void*) {
  sNiceSeen = platform::currentNice();
  ++sRuns;
  return nullptr;
}

void* waitForRelease(void*) {
  while (!sRelease) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return nullptr;
}

// Ten seconds at most: a busy machine may be slow to give a new thread its turn.
template <typename Done>
void waitUntil(Done done) {
  for (int i = 0; i < 10000 && !done(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The threads of this process, as the system counts them.
std::ptrdiff_t threadCount() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                       std::filesystem::directory_iterator());
}

}  // namespace

TEST(OpenALThreadTest, RunsItsRoutineOnceAtTheRequestedPriority) {
  EXPECT_EQ(OpenALThread::getScheduledPriority(0, 0), 0);
  EXPECT_EQ(OpenALThread::getScheduledPriority(pthread_self(), 0),
            platform::kTimesharingBasePriority - platform::currentNice());

  sRuns = 0;
  auto* thread = new OpenALThread(countRun, nullptr, 31, false, true);
  EXPECT_EQ(thread->basePriority, 31 - platform::currentNice());
  thread->SetPriority(31, false);  // not running: only recorded
  EXPECT_EQ(thread->priority, 31u);
  ASSERT_TRUE(thread->Start());  // deletes itself when done
  waitUntil([] { return sRuns == 1; });
  EXPECT_EQ(sRuns, 1);
  // Priority 31 over a base of 31 leaves the nice value as it was.
  EXPECT_EQ(sNiceSeen, platform::currentNice());
}

TEST(OpenALThreadTest, ANullRoutineStillStartsEndsAndDeletesItself) {
  // The leak checker of the sanitizer run sees an object that was not deleted, once its thread
  // is gone.
  const std::ptrdiff_t threads = threadCount();
  ASSERT_TRUE((new OpenALThread(nullptr, nullptr, 31, false, true))->Start());
  waitUntil([threads] { return threadCount() == threads; });
  EXPECT_EQ(threadCount(), threads);
}

TEST(OpenALThreadTest, ASecondStartWhileRunningIsRefused) {
  sRelease = false;
  OpenALThread thread(waitForRelease, nullptr, 31, false, false);
  ASSERT_TRUE(thread.Start());
  waitUntil([&] { return thread.pthread != 0; });
  testing::internal::CaptureStdout();
  EXPECT_FALSE(thread.Start());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "OpenALThread::Start: can't start because the thread is already running\n");
  sRelease = true;
  waitUntil([&] { return thread.pthread == 0; });
}
