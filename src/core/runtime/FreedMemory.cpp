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

} // namespace runtime
