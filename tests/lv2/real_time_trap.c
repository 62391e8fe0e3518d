/* Preloaded ahead of libc: counts the allocator and mutex calls a thread makes between
 * krv_trap_begin and krv_trap_end, passing every call on to libc. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <stddef.h>

extern void* __libc_malloc(size_t);
extern void* __libc_calloc(size_t, size_t);
extern void* __libc_realloc(void*, size_t);
extern void* __libc_memalign(size_t, size_t);
extern void __libc_free(void*);

struct KrvTrapCounts {
    unsigned long allocations, releases, locks;
};

/* Initial-exec: reading it never allocates, even from inside malloc. */
static __thread int counting __attribute__((tls_model("initial-exec")));
static __thread struct KrvTrapCounts counts __attribute__((tls_model("initial-exec")));

__attribute__((visibility("default"))) void krv_trap_begin(void) {
    struct KrvTrapCounts zero = {0, 0, 0};
    counts = zero;
    counting = 1;
}

__attribute__((visibility("default"))) struct KrvTrapCounts krv_trap_end(void) {
    counting = 0;
    return counts;
}

__attribute__((visibility("default"))) void* malloc(size_t size) {
    if (counting) ++counts.allocations;
    return __libc_malloc(size);
}

__attribute__((visibility("default"))) void* calloc(size_t n, size_t size) {
    if (counting) ++counts.allocations;
    return __libc_calloc(n, size);
}

__attribute__((visibility("default"))) void* realloc(void* p, size_t size) {
    if (counting) ++counts.allocations;
    return __libc_realloc(p, size);
}

__attribute__((visibility("default"))) void* memalign(size_t alignment, size_t size) {
    if (counting) ++counts.allocations;
    return __libc_memalign(alignment, size);
}

__attribute__((visibility("default"))) void* aligned_alloc(size_t alignment, size_t size) {
    if (counting) ++counts.allocations;
    return __libc_memalign(alignment, size);
}

__attribute__((visibility("default"))) int posix_memalign(void** out, size_t alignment,
                                                          size_t size) {
    if (counting) ++counts.allocations;
    *out = __libc_memalign(alignment, size);
    return *out ? 0 : 12;
}

__attribute__((visibility("default"))) void free(void* p) {
    if (counting && p) ++counts.releases;
    __libc_free(p);
}

typedef int (*MutexCall)(pthread_mutex_t*);
static MutexCall nextLock, nextTryLock;

/* Looked up before main, so that no count ever includes the lookup. */
__attribute__((constructor)) static void findLibcLocks(void) {
    nextLock = (MutexCall)dlsym(RTLD_NEXT, "pthread_mutex_lock");
    nextTryLock = (MutexCall)dlsym(RTLD_NEXT, "pthread_mutex_trylock");
}

__attribute__((visibility("default"))) int pthread_mutex_lock(pthread_mutex_t* mutex) {
    if (counting) ++counts.locks;
    return nextLock(mutex);
}

__attribute__((visibility("default"))) int pthread_mutex_trylock(pthread_mutex_t* mutex) {
    if (counting) ++counts.locks;
    return nextTryLock(mutex);
}
