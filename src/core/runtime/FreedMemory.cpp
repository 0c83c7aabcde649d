#include "core/runtime/FreedMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace runtime {

void giveBackFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void shareOneHeap()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}

} // namespace runtime
