// Threads on pthreads; priorities as nice values (see platform/thread_priority.h).
#include "sound/openal_thread.h"

#include <cstdio>

#include "platform/core/thread_priority.h"

namespace {

void* runEntry(void* thread) {
  return OpenALThread::Entry(static_cast<OpenALThread*>(thread));
}

}  // namespace

OpenALThread::OpenALThread(ThreadRoutine routine, void* argument, unsigned long priority,
                           bool fixedPriority, bool autoDelete)
    : basePriority(getScheduledPriority(pthread_self(), 0)),
      routine(routine),
      routineArg(argument),
      priority(priority),
      fixedPriority(fixedPriority),
      autoDelete(autoDelete) {}

bool OpenALThread::Start() {
  if (pthread.load() != 0) {
    std::puts("OpenALThread::Start: can't start because the thread is already running");
    return false;
  }
  pthread_attr_t attributes;
  int status = pthread_attr_init(&attributes);
  if (status != 0) {
    std::printf("%s: %d\n", "Error initializing thread", status);
    return false;
  }
  status = pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  if (status != 0) {
    std::printf("%s: %d\n", "Error setting thread detach state", status);
    pthread_attr_destroy(&attributes);
    return false;
  }
  // The new thread records its own handle; this object may be gone once it runs.
  pthread_t handle;
  status = pthread_create(&handle, &attributes, runEntry, this);
  pthread_attr_destroy(&attributes);
  if (status != 0) {
    std::printf("%s: %d\n", "Error creating thread", status);
    return false;
  }
  return true;
}

void* OpenALThread::Entry(OpenALThread* thread) {
  thread->pthread = pthread_self();
  thread->threadId = platform::currentThreadId();
  thread->SetPriority(thread->priority, thread->fixedPriority);
  void* result = thread->routine ? thread->routine(thread->routineArg) : nullptr;
  // An object that does not delete itself is its owner's again once pthread is cleared.
  const bool deleteItself = thread->autoDelete;
  thread->threadId = 0;
  thread->pthread = 0;
  if (deleteItself) delete thread;
  return result;
}

void OpenALThread::SetPriority(unsigned long newPriority, bool fixed) {
  priority = newPriority;
  fixedPriority = fixed;
  const pthread_t running = pthread.load();
  if (running == 0) return;
  if (fixed && !platform::useFixedPriority(running)) {
    std::printf("OpenALThread::SetPriority: failed to set the fixed-priority policy");
    return;
  }
  // An importance of i over the creator's base priority is the creator's nice value minus i.
  const long importance = static_cast<long>(priority) - basePriority;
  const long nice = (platform::kTimesharingBasePriority - basePriority) - importance;
  if (!platform::setNice(threadId.load(), static_cast<int>(nice))) {
    std::printf("OpenALThread::SetPriority: failed to set the precedence policy");
  }
}

int OpenALThread::getScheduledPriority(pthread_t thread, int kind) {
  (void)kind;  // Linux keeps no separate scheduled or depressed priority: both read the base
  if (thread == 0) return 0;
  const platform::ThreadScheduling scheduling = platform::threadScheduling(thread);
  return scheduling.policy == platform::SchedulingPolicy::Other ? 0 : scheduling.basePriority;
}
