// Thread priorities in the sound engine's terms. A timesharing thread's base priority is 31
// minus its nice value; fixed-priority threads use their real-time priority.
#pragma once

#include <pthread.h>
#include <sys/types.h>

namespace platform {

enum class SchedulingPolicy { Timesharing, RoundRobin, Fifo, Other };

struct ThreadScheduling {
  SchedulingPolicy policy = SchedulingPolicy::Other;
  int basePriority = 0;
};

constexpr int kTimesharingBasePriority = 31;

// The scheduling of a thread of this process. Nice values are per thread and can be read only
// for the calling thread; another timesharing thread reads as having the process's nice value.
ThreadScheduling threadScheduling(pthread_t thread);
// Moves a thread to a fixed-priority policy; false when the system refuses.
bool useFixedPriority(pthread_t thread);
// The kernel's id of the calling thread, by which its nice value is set.
pid_t currentThreadId();
// Gives a thread of this process the nice value; false when the system refuses.
bool setNice(pid_t thread, int nice);
// The calling thread's nice value.
int currentNice();

}  // namespace platform
