// The C heap's entry points, wrapped to count their calls before glibc serves them.
#include "bench/heap_counter.h"

#include <atomic>
#include <cstddef>

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
namespace {
std::atomic<long> heapCalls{0};
}
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* malloc(size_t size) {
  heapCalls.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  heapCalls.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) {
  heapCalls.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(pointer, size);
}
}
long heapCallCount() {
  return heapCalls.load();
}
bool heapCallsCounted() {
  return true;
}
#else
long heapCallCount() {
  return 0;
}
bool heapCallsCounted() {
  return false;
}
#endif
