// A routine run once on a new detached thread, at a priority relative to the thread that made
// the object; the object can delete itself when the routine returns.
#pragma once

#include <pthread.h>
#include <sys/types.h>

#include <atomic>

class OpenALThread {
 public:
  using ThreadRoutine = void* (*)(void*);

  OpenALThread(ThreadRoutine routine, void* argument, unsigned long priority, bool fixedPriority,
               bool autoDelete);

  // Starts the thread; false, after a message, when it could not be started. A self-deleting
  // object that started may be gone by the time this returns.
  bool Start();
  static void* Entry(OpenALThread* thread);
  // Applied at once to a running thread; otherwise kept for the thread to apply when it starts.
  void SetPriority(unsigned long priority, bool fixedPriority);
  // Kind 1: the thread's scheduled priority; any other kind: its base priority. 0 for a null
  // handle.
  static int getScheduledPriority(pthread_t thread, int kind);

  // The running thread, 0 before it starts and after its routine has returned. The thread
  // itself writes it before it applies its priority.
  std::atomic<pthread_t> pthread{0};
  std::atomic<pid_t> threadId{0};
  int basePriority;
  ThreadRoutine routine;
  void* routineArg;
  unsigned long priority;
  bool fixedPriority;
  bool autoDelete;
};
