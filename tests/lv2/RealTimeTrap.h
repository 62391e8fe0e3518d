// The counters of the real-time trap (real_time_trap.c), preloaded into a test program:
// between begin and end, calls on the counting thread to the allocator and to mutex locks
// are counted. Looked up at run time, so a program without the trap can tell.
#pragma once

extern "C" {
struct KrvTrapCounts {
    unsigned long allocations;  // malloc, calloc, realloc, aligned forms
    unsigned long releases;     // free
    unsigned long locks;        // pthread_mutex_lock, pthread_mutex_trylock
};
using KrvTrapBegin = void (*)();
using KrvTrapEnd = KrvTrapCounts (*)();
}
