// velomira-mkcard: writes dashcam recordings and whole SD cards for tests and demos.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "devtools/mkcard/CommandLine.h"

extern "C" {
#include <libavutil/log.h>
}

int main(int argc, char** argv)
{
    av_log_set_level(AV_LOG_ERROR);
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return velomira::RunCommand(velomira::ParseCommandLine(args));
    } catch (const std::exception& e) {
        // File system walks and allocation may throw; report instead of aborting.
        std::cerr << "velomira-mkcard: " << e.what() << "\n";
        return 1;
    }
}
