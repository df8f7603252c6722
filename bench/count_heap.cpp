// The counting allocation functions.
#include "bench/count_heap.h"

#include <atomic>
#include <cerrno>
#include <cstddef>

// The C library's own allocator under its reserved names.
extern "C" {
void *__libc_malloc(size_t size);                      // NOLINT(bugprone-reserved-identifier)
void *__libc_calloc(size_t n, size_t size);            // NOLINT(bugprone-reserved-identifier)
void *__libc_realloc(void *p, size_t size);            // NOLINT(bugprone-reserved-identifier)
void *__libc_memalign(size_t alignment, size_t size);  // NOLINT(bugprone-reserved-identifier)
}

static std::atomic<long> allocations(0);

// The allocations so far.
long heapAllocations() {
	return allocations.load(std::memory_order_relaxed);
}

extern "C" {

// Each gives the C library's own block and counts it.
void *malloc(size_t size) {
	allocations.fetch_add(1, std::memory_order_relaxed);
	return __libc_malloc(size);
}

void *calloc(size_t n, size_t size) {
	allocations.fetch_add(1, std::memory_order_relaxed);
	return __libc_calloc(n, size);
}

// A realloc that only resizes a block counts too: it may move it.
void *realloc(void *p, size_t size) {
	allocations.fetch_add(1, std::memory_order_relaxed);
	return __libc_realloc(p, size);
}

void *memalign(size_t alignment, size_t size) {
	allocations.fetch_add(1, std::memory_order_relaxed);
	return __libc_memalign(alignment, size);
}

void *aligned_alloc(size_t alignment, size_t size) {
	return memalign(alignment, size);
}

int posix_memalign(void **p, size_t alignment, size_t size) {
	*p = memalign(alignment, size);
	return *p != nullptr ? 0 : ENOMEM;
}
}
