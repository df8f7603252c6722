// Counts every heap allocation of the process: the C library's allocation functions are
// replaced by ones that count and hand the call to the library's own. Linked into the
// allocation benchmark, and into bench/count_calls.cpp's library for the real game.
#ifndef BENCH_COUNT_HEAP_H
#define BENCH_COUNT_HEAP_H

// The allocations made so far: malloc, calloc, realloc and the aligned ones, and with them
// operator new, which takes its memory from malloc.
long heapAllocations();

#endif
