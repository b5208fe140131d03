#include "platform/FreedMemory.h"

#include <malloc.h>

namespace velomira {

void ReturnFreedMemory()
{
    ::malloc_trim(0);
}

} // namespace velomira
