// What a path handed to the viewer looks like, and what a list of them opens.
#include "library/OpenedPaths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "support/TestPaths.h"

namespace velomira {
namespace {

void WriteFile(const std::filesystem::path& path, std::size_t bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
}

TEST(OpenedPathKinds, FoldersThatLookLikeACardAndFilesThatImport)
{
    test::TempDir dir("velomira-opened");
    constexpr std::size_t kRecording = 11 * 1024; // the import's smallest
    using Kind = OpenedPathKind;
    const struct {
        const char* name;
        std::vector<std::pair<const char*, std::size_t>> files; // below the path; -1: folder
        const char* path; // relative to the case's folder
        Kind kind;
    } cases[] = {
        { "event mark only", { { "card/event/", 0 } }, "card", Kind::CardFolder },
        { "kind folder with a deep recording",
            { { "card/Normal/2024/20240101_101010.MP4", kRecording } }, "card", Kind::CardFolder },
        { "kind folder without recordings", { { "card/NORMAL/notes.txt", 20000 } }, "card",
            Kind::Unplayable },
        { "recording under a folder that is no kind", { { "card/normal/a.mp4", kRecording } },
            "card", Kind::Unplayable },
        { "empty folder", { { "card/", 0 } }, "card", Kind::Unplayable },
        { "avi recording", { { "a.avi", kRecording } }, "a.avi", Kind::Recording },
        { "recording of 10 KiB and less", { { "a.mp4", kRecording - 1 } }, "a.mp4",
            Kind::Unplayable },
        { "other file", { { "a.txt", kRecording } }, "a.txt", Kind::Unplayable },
        { "missing path", {}, "gone.mp4", Kind::Unplayable },
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::filesystem::path base = dir / std::to_string(n++);
        std::filesystem::create_directories(base);
        for (const auto& [name, bytes] : c.files) {
            const std::string relative = name;
            if (relative.ends_with('/'))
                std::filesystem::create_directories(base / relative);
            else
                WriteFile(base / relative, bytes);
        }
        EXPECT_EQ(ClassifyOpenedPath(base / c.path), c.kind) << c.name;
    }
}

TEST(OpeningPlans, TheFirstPathThatOpensDecides)
{
    const std::map<std::string, OpenedPathKind> kinds = {
        { "card1", OpenedPathKind::CardFolder },
        { "card2", OpenedPathKind::CardFolder },
        { "a.mp4", OpenedPathKind::Recording },
        { "b.avi", OpenedPathKind::Recording },
        { "x.txt", OpenedPathKind::Unplayable },
    };
    const auto classify = [&](const std::string& path) { return kinds.at(path); };
    using Paths = std::vector<std::string>;
    const struct {
        const char* name;
        Paths given;
        std::string card;
        Paths recordings, unplayable, leftAside;
    } cases[] = {
        { "nothing", {}, "", {}, {}, {} },
        { "a card", { "card1" }, "card1", {}, {}, {} },
        { "recordings in order", { "b.avi", "a.mp4" }, "", { "b.avi", "a.mp4" }, {}, {} },
        { "the rest opens after a bad path", { "x.txt", "card1" }, "card1", {}, { "x.txt" }, {} },
        { "a card first leaves the rest aside", { "card1", "a.mp4", "card2", "x.txt" }, "card1", {},
            { "x.txt" }, { "a.mp4", "card2" } },
        { "recordings first leave cards aside", { "a.mp4", "card1", "b.avi" }, "",
            { "a.mp4", "b.avi" }, {}, { "card1" } },
        { "only bad paths", { "x.txt", "x.txt" }, "", {}, { "x.txt", "x.txt" }, {} },
    };
    for (const auto& c : cases) {
        const OpeningPlan plan = PlanOpening(c.given, classify);
        EXPECT_EQ(plan.cardFolder, c.card) << c.name;
        EXPECT_EQ(plan.recordings, c.recordings) << c.name;
        EXPECT_EQ(plan.unplayable, c.unplayable) << c.name;
        EXPECT_EQ(plan.leftAside, c.leftAside) << c.name;
    }
}

} // namespace
} // namespace velomira
