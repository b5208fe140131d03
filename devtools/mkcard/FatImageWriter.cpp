#include "devtools/mkcard/FatImageWriter.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>

extern char** environ;

namespace velomira {

int RunProgram(const std::vector<std::string>& args)
{
    if (args.empty())
        return -1;
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string WriteFatImage(const std::filesystem::path& cardRoot, const std::filesystem::path& image)
{
    uintmax_t contentBytes = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(cardRoot, ec)) {
        if (entry.is_regular_file())
            contentBytes += entry.file_size();
    }
    if (ec)
        return "cannot read " + cardRoot.string() + ": " + ec.message();
    // One 512-byte sector per cluster keeps even a 64 MiB image above FAT32's cluster minimum.
    const uintmax_t sizeKiB
        = std::max<uintmax_t>(64 * 1024, contentBytes / 1024 * 5 / 4 + 16 * 1024);

    std::filesystem::remove(image, ec);
    if (RunProgram({ "mkfs.fat", "-C", "-F", "32", "-S", "512", "-s", "1", "-n", "VELOMIRA",
            image.string(), std::to_string(sizeKiB) })
        != 0)
        return "mkfs.fat could not make " + image.string();

    std::vector<std::string> copy { "mcopy", "-s", "-Q", "-D", "o", "-i", image.string() };
    for (const auto& entry : std::filesystem::directory_iterator(cardRoot, ec))
        copy.push_back(entry.path().string());
    copy.push_back("::/");
    ::setenv("MTOOLS_SKIP_CHECK", "1", 1);
    if (RunProgram(copy) != 0)
        return "mcopy could not fill " + image.string();
    return {};
}

} // namespace velomira
