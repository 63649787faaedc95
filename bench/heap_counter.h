// Counts every call into the C heap (malloc, calloc, realloc), which the C++ heap goes through
// too. The sanitizers bring their own allocator; under them nothing is counted.
#pragma once

long heapCallCount();
// False where the count cannot be taken (sanitized builds).
bool heapCallsCounted();
