#include "platform/ProcessExit.h"

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace velomira {

void EndProcess(int code)
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    ::_exit(code);
}

} // namespace velomira
