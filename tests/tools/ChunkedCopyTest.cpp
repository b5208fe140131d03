// The chunked copy: exact bytes, replacement of a file of the same name, and a cancelled
// or failed copy leaving the old file and no partial file behind.
#include "tools/ChunkedCopy.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <iterator>

#include "support/TestPaths.h"

namespace velomira {
namespace {

namespace fs = std::filesystem;

std::string Bytes(std::size_t size, char seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 7 + (i >> 9));
    return bytes;
}

void Write(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

std::vector<std::string> Listing(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ChunkedCopy, CopiesEveryByteWhateverTheChunkBoundaries)
{
    const struct {
        std::size_t size;
        std::size_t chunk;
    } cases[] = { { 0, 16 }, { 1, 16 }, { 15, 16 }, { 16, 16 }, { 17, 16 }, { 4096, 1000 },
        { 3 * kCopyChunkBytes + 5, kCopyChunkBytes } };
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string bytes = Bytes(c.size, 'a');
        Write(dir / "src.mp4", bytes);
        std::uint64_t lastDone = 0;
        std::uint64_t total = 99;
        EXPECT_EQ(CopyInChunks(dir / "src.mp4", dir / "out" / "", {}, c.chunk), CopyResult::Failed);
        fs::create_directory(dir / "out");
        EXPECT_EQ(CopyInChunks(
                      dir / "src.mp4", dir / "out" / "copy.mp4",
                      [&](std::uint64_t done, std::uint64_t size) {
                          EXPECT_GE(done, lastDone);
                          lastDone = done;
                          total = size;
                          return true;
                      },
                      c.chunk),
            CopyResult::Done)
            << c.size;
        EXPECT_EQ(Read(dir / "out" / "copy.mp4"), bytes) << c.size;
        EXPECT_EQ(lastDone, c.size);
        EXPECT_EQ(total, c.size);
        EXPECT_EQ(Listing(dir / "out"), std::vector<std::string> { "copy.mp4" }) << c.size;
    }
}

TEST(ChunkedCopy, ReplacesAFileOfTheSameName)
{
    test::TempDir dir;
    Write(dir / "src.mp4", Bytes(1000, 'n'));
    Write(dir / "old.mp4", Bytes(50000, 'o'));
    ASSERT_EQ(CopyInChunks(dir / "src.mp4", dir / "old.mp4", {}, 64), CopyResult::Done);
    EXPECT_EQ(Read(dir / "old.mp4"), Bytes(1000, 'n'));
    EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string> { "old.mp4", "src.mp4" }));
}

TEST(ChunkedCopy, CancelOrFailureLeavesTheOldFileAndNothingPartial)
{
    test::TempDir dir;
    const std::string old = Bytes(777, 'o');
    Write(dir / "src.mp4", Bytes(10000, 'n'));
    fs::create_directory(dir / "busy.mp4");
    Write(dir / "busy.mp4" / "inside", "x");
    const struct {
        const char* name;
        fs::path source;
        fs::path target;
        int cancelAfterChunks; // -1: never
        CopyResult expected;
    } cases[] = {
        { "cancelled at the first chunk", dir / "src.mp4", dir / "dst.mp4", 0,
            CopyResult::Cancelled },
        { "cancelled half way", dir / "src.mp4", dir / "dst.mp4", 5, CopyResult::Cancelled },
        { "source missing", dir / "gone.mp4", dir / "dst.mp4", -1, CopyResult::Failed },
        { "source unreadable", "/proc/self/mem", dir / "dst.mp4", -1, CopyResult::Failed },
        { "source a folder", dir.Path(), dir / "dst.mp4", -1, CopyResult::Failed },
        { "empty source path", "", dir / "dst.mp4", -1, CopyResult::Failed },
        { "target a folder", dir / "src.mp4", dir / "busy.mp4", -1, CopyResult::Failed },
        { "target folder missing", dir / "src.mp4", dir / "none" / "dst.mp4", -1,
            CopyResult::Failed },
    };
    for (const auto& c : cases) {
        Write(dir / "dst.mp4", old);
        int chunks = 0;
        const CopyResult result = CopyInChunks(
            c.source, c.target,
            [&](std::uint64_t, std::uint64_t) {
                return c.cancelAfterChunks < 0 || chunks++ < c.cancelAfterChunks;
            },
            1000);
        EXPECT_EQ(result, c.expected) << c.name;
        EXPECT_EQ(Read(dir / "dst.mp4"), old) << c.name;
        EXPECT_EQ(
            Listing(dir.Path()), (std::vector<std::string> { "busy.mp4", "dst.mp4", "src.mp4" }))
            << c.name;
        EXPECT_EQ(Listing(dir / "busy.mp4"), std::vector<std::string> { "inside" }) << c.name;
    }
}

// The system calls of a copy, with one of them failing as on a stick pulled out or full:
// `call` is "fsync", "close" or "rename" (of the temporary file only).
FileOperations FailingCopy(const std::string& call, std::vector<std::string>& log)
{
    FileOperations ops = SystemFileOperations();
    const FileOperations real = SystemFileOperations();
    auto temporaryFd = std::make_shared<int>(-1);
    auto folderFd = std::make_shared<int>(-1);
    ops.open = [real, temporaryFd, folderFd](const char* path, int flags, mode_t mode) {
        const int fd = real.open(path, flags, mode);
        if (std::string_view(path).ends_with(".part"))
            *temporaryFd = fd;
        if (flags & O_DIRECTORY)
            *folderFd = fd;
        return fd;
    };
    const auto name = [temporaryFd, folderFd](int fd) {
        return fd == *temporaryFd ? "file" : fd == *folderFd ? "folder" : "other";
    };
    ops.fsync = [=, &log](int fd) {
        log.push_back(std::string("fsync ") + name(fd));
        if (call == "fsync" && fd == *temporaryFd) {
            errno = EIO;
            return -1;
        }
        return real.fsync(fd);
    };
    ops.close = [=](int fd) {
        // A closed descriptor's number is given out again (to the folder, say).
        const bool temporary = fd == *temporaryFd;
        if (temporary)
            *temporaryFd = -1;
        const int result = real.close(fd);
        if (call == "close" && temporary) {
            errno = EIO;
            return -1;
        }
        return result;
    };
    ops.rename = [=, &log](const char* from, const char* to) {
        log.push_back("rename");
        if (call == "rename") {
            errno = EIO;
            return -1;
        }
        return real.rename(from, to);
    };
    return ops;
}

TEST(ChunkedCopy, IsOnTheMediumBeforeItsNameAndFailsOnAnyLateError)
{
    const struct {
        const char* fail; // "" for none
        bool truncateSource; // the source shrinks after the first chunk
        CopyResult expected;
        std::vector<std::string> calls;
    } cases[] = {
        { "", false, CopyResult::Done, { "fsync file", "rename", "fsync folder" } },
        { "fsync", false, CopyResult::Failed, { "fsync file" } },
        { "close", false, CopyResult::Failed, { "fsync file" } },
        { "rename", false, CopyResult::Failed, { "fsync file", "rename" } },
        { "", true, CopyResult::Failed, { "fsync file" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fail) + (c.truncateSource ? " short source" : ""));
        test::TempDir dir;
        const std::string old = Bytes(777, 'o');
        Write(dir / "src.mp4", Bytes(10000, 'n'));
        Write(dir / "dst.mp4", old);
        std::vector<std::string> log;
        int chunks = 0;
        const CopyResult result = CopyInChunks(
            dir / "src.mp4", dir / "dst.mp4",
            [&](std::uint64_t, std::uint64_t) {
                if (c.truncateSource && chunks++ == 0)
                    fs::resize_file(dir / "src.mp4", 4000);
                return true;
            },
            1000, FailingCopy(c.fail, log));
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(log, c.calls);
        EXPECT_EQ(Read(dir / "dst.mp4"), c.expected == CopyResult::Done ? Bytes(10000, 'n') : old);
        EXPECT_EQ(Listing(dir.Path()), (std::vector<std::string> { "dst.mp4", "src.mp4" }));
    }
}

TEST(ChunkedCopy, LeftoverTemporaryNamesAreStepped)
{
    test::TempDir dir;
    Write(dir / "src.mp4", "new");
    Write(TemporaryNameFor(dir / "a.mp4", 0), "someone else's");
    ASSERT_EQ(CopyInChunks(dir / "src.mp4", dir / "a.mp4"), CopyResult::Done);
    EXPECT_EQ(Read(dir / "a.mp4"), "new");
    EXPECT_EQ(Read(TemporaryNameFor(dir / "a.mp4", 0)), "someone else's");
}

TEST(ChunkedCopy, CopiesBetweenFileSystems)
{
    // Memory-backed /dev/shm to the temporary folder's disk: the kernel will not copy
    // between them itself, so the copy reads and writes.
    if (!fs::is_directory("/dev/shm"))
        GTEST_SKIP() << "no /dev/shm";
    test::TempDir shm { "velomira-shm" };
    test::TempDir dir;
    const fs::path source = fs::path("/dev/shm") / shm.Path().filename();
    fs::create_directories(source);
    const std::string bytes = Bytes(3 * 4096 + 3, 's');
    Write(source / "src.mp4", bytes);
    const CopyResult result = CopyInChunks(source / "src.mp4", dir / "copy.mp4", {}, 4096);
    fs::remove_all(source);
    ASSERT_EQ(result, CopyResult::Done);
    EXPECT_EQ(Read(dir / "copy.mp4"), bytes);
}

TEST(RecordingFileNames, CardPathsSplitAtBackslashesOwnPathsAtSlashes)
{
    const std::pair<const char*, const char*> cases[] = {
        { "E:\\NORMAL\\20240315_101010_F.mp4", "20240315_101010_F.mp4" },
        { "E:\\a.avi", "a.avi" },
        { "/home/u/clips/20240315_101010_F.mp4", "20240315_101010_F.mp4" },
        { "/home/u/odd\\name.mp4", "odd\\name.mp4" },
        { "", "" },
        { "E:\\NORMAL\\", "" },
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(RecordingFileName(path), name) << path;
}

} // namespace
} // namespace velomira
