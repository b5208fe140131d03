// The Debian package: what it holds, what it depends on, that nothing in it points into
// the build tree, what the Debian checkers say, and a real install and removal.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "support/TestPaths.h"

namespace velomira {
namespace {

struct Result {
    int status = -1;
    std::string output;
};

// Runs a shell command (the arguments are quoted by the caller) with its error output.
Result RunShell(const std::string& command)
{
    Result result;
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 4096> buffer {};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        result.output += buffer.data();
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Quoted(const std::filesystem::path& path)
{
    std::string quoted(1, '\'');
    quoted += path.string();
    quoted += '\'';
    return quoted;
}

const std::filesystem::path kPackage = VELOMIRA_PACKAGE_FILE;

// The package unpacked into a folder of its own.
class Unpacked {
public:
    Unpacked()
    {
        const Result unpack
            = RunShell("dpkg-deb -x " + Quoted(kPackage) + " " + Quoted(m_dir.Path()));
        EXPECT_EQ(unpack.status, 0) << unpack.output;
    }
    std::filesystem::path operator/(const std::string& path) const { return m_dir / path; }
    const std::filesystem::path& Path() const { return m_dir.Path(); }

private:
    test::TempDir m_dir { "velomira-deb" };
};

TEST(DebianPackage, HoldsWhatADesktopNeedsAndDependsOnWhatRunsAtRunTime)
{
    const struct {
        std::string query;
        std::vector<const char*> lines;
    } cases[] = {
        { "-c",
            { "/usr/bin/velomira-viewer\n", "/usr/bin/velomira-card\n",
                "/applications/velomira-viewer.desktop\n",
                "/metainfo/org.velomira.Viewer.metainfo.xml\n",
                "/hicolor/16x16/apps/velomira-viewer.png\n",
                "/hicolor/256x256/apps/velomira-viewer.png\n", "/man1/velomira-viewer.1.gz\n",
                "/man1/velomira-card.1.gz\n", "/doc/velomira-viewer/copyright\n",
                "/doc/velomira-viewer/changelog.gz\n" } },
        { "-f",
            { "Package: velomira-viewer\n", "Version: " VELOMIRA_PACKAGE_VERSION "\n",
                // what runs or is loaded at run time, then libraries linked
                "libjs-leaflet", "dosfstools", "fonts-noto-cjk", "fonts-liberation",
                "libqt6webenginecore6-bin", "libqt6widgets6", "libavformat59", "libmount1",
                "Recommends: udisks2\n", "Suggests: gpsbabel\n" } },
    };
    for (const auto& c : cases) {
        const Result answer = RunShell("dpkg-deb " + c.query + " " + Quoted(kPackage));
        ASSERT_EQ(answer.status, 0) << answer.output;
        for (const char* line : c.lines)
            EXPECT_NE(answer.output.find(line), std::string::npos) << c.query << ": " << line;
    }
}

TEST(DebianPackage, NothingInsideNamesTheBuildOrSourceTree)
{
    const Unpacked deb;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(deb.Path())) {
        if (!entry.is_regular_file())
            continue;
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes { std::istreambuf_iterator<char>(in), {} };
        for (const char* tree : { VELOMIRA_SOURCE_DIR, VELOMIRA_BUILD_DIR })
            EXPECT_EQ(bytes.find(tree), std::string::npos) << entry.path() << " names " << tree;
    }
    EXPECT_GT(files, 10);
}

TEST(DebianPackage, TheCheckersFindNoError)
{
    const Unpacked deb;
    const struct {
        const char* checker;
        std::string command;
    } cases[] = {
        { "lintian", "lintian --fail-on error " + Quoted(kPackage) },
        { "appstreamcli",
            "appstreamcli validate --no-net "
                + Quoted(deb / "usr/share/metainfo/org.velomira.Viewer.metainfo.xml") },
        { "desktop-file-validate",
            "desktop-file-validate "
                + Quoted(deb / "usr/share/applications/velomira-viewer.desktop") },
    };
    for (const auto& c : cases) {
        const Result check = RunShell(c.command);
        EXPECT_EQ(check.status, 0) << c.checker << ":\n" << check.output;
        EXPECT_EQ(check.output.find("\nE: "), std::string::npos) << c.checker << ":\n"
                                                                 << check.output;
    }
}

TEST(DebianPackage, InstallsRunsAndLeavesNothingBehindInAThrowawayRoot)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "dpkg installs into a throwaway root only when run as root; the package "
                        "was checked with dpkg-deb only";
    test::TempDir root("velomira-root");
    std::filesystem::create_directories(root / "var/lib/dpkg/info");
    std::filesystem::create_directories(root / "var/lib/dpkg/updates");
    std::ofstream(root / "var/lib/dpkg/status").flush();
    // The throwaway root has none of the dependencies: they are the host's, as are the
    // libraries the installed program runs with. dpkg logs inside the root too.
    const std::string dpkg = "dpkg --root=" + Quoted(root.Path())
        + " --log=" + Quoted(root / "dpkg.log") + " --force-depends ";
    const Result install = RunShell(dpkg + "-i " + Quoted(kPackage));
    ASSERT_EQ(install.status, 0) << install.output;
    const Result version = RunShell(Quoted(root / "usr/bin/velomira-viewer") + " --version");
    EXPECT_EQ(version.status, 0) << version.output;
    EXPECT_EQ(version.output, "velomira-viewer " VELOMIRA_PACKAGE_VERSION "\n");
    EXPECT_TRUE(std::filesystem::exists(root / "usr/share/man/man1/velomira-card.1.gz"));

    const Result purge = RunShell(dpkg + "--purge velomira-viewer");
    ASSERT_EQ(purge.status, 0) << purge.output;
    EXPECT_FALSE(std::filesystem::exists(root / "usr")) << "files left behind";
}

} // namespace
} // namespace velomira
