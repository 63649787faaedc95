// Linux threads: the scheduling policy from pthreads, nice values per thread by thread id.
#include "platform/core/thread_priority.h"

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
pid_t currentThreadId() {
#ifdef SYS_gettid
  return static_cast<pid_t>(syscall(SYS_gettid));
#else
  return getpid();  // the page runs on one thread
#endif
}

int currentNice() {
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(currentThreadId()));
  return errno == 0 ? nice : 0;
}

bool setNice(pid_t thread, int nice) {
  return setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice) == 0;
}

bool useFixedPriority(pthread_t thread) {
  sched_param parameters{};
  parameters.sched_priority = sched_get_priority_min(SCHED_RR);
  return pthread_setschedparam(thread, SCHED_RR, &parameters) == 0;
}

ThreadScheduling threadScheduling(pthread_t thread) {
  int policy = 0;
  sched_param parameters{};
  if (pthread_getschedparam(thread, &policy, &parameters) != 0) return {};
  switch (policy) {
    case SCHED_OTHER:
    case SCHED_BATCH:
    case SCHED_IDLE: {
      int nice = 0;
      if (pthread_equal(thread, pthread_self())) {
        nice = currentNice();
      } else {
        errno = 0;
        const int processNice = getpriority(PRIO_PROCESS, 0);
        nice = errno == 0 ? processNice : 0;
      }
      return {SchedulingPolicy::Timesharing, kTimesharingBasePriority - nice};
    }
    case SCHED_RR:
      return {SchedulingPolicy::RoundRobin, parameters.sched_priority};
    case SCHED_FIFO:
      return {SchedulingPolicy::Fifo, parameters.sched_priority};
    default:
      return {};
  }
}

}  // namespace platform
