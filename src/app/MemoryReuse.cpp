#include "app/MemoryReuse.h"

#include <malloc.h>

void KeepFreedMemoryForReuse()
{
    // One heap for every thread, so that what a decoding thread frees serves
    // the main thread's next texture; large buffers from that heap rather
    // than mapped afresh each time; and freed memory kept, not trimmed away.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
}

void ReturnFreedMemory()
{
    malloc_trim(0);
}
