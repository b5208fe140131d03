// The viewer's command line and the message a second start hands to the running viewer.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "app/HandOverMessage.h"

namespace velomira {
namespace {

using Action = ViewerCommandLine::Action;
using Args = std::vector<std::string>;

TEST(ViewerCommandLine, OptionsAndPaths)
{
    const struct {
        const char* name;
        Args arguments;
        Action action;
        Args paths;
    } cases[] = {
        { "nothing", {}, Action::Run, {} },
        { "paths as given", { "card", "/r/a.mp4" }, Action::Run, { "card", "/r/a.mp4" } },
        { "help wins over what follows", { "a.mp4", "--help", "--bogus" }, Action::Help, {} },
        { "short help", { "-h" }, Action::Help, {} },
        { "version", { "--version" }, Action::Version, {} },
        { "unknown option", { "a.mp4", "--bogus" }, Action::UsageError, {} },
        { "unknown short option", { "-x" }, Action::UsageError, {} },
        { "Qt's options are Qt's", { "-platform", "offscreen", "--style=Fusion", "-reverse", "a" },
            Action::Run, { "a" } },
        { "Qt option without its value", { "-platform" }, Action::UsageError, {} },
        { "after -- everything is a path", { "--", "--help", "-x" }, Action::Run,
            { "--help", "-x" } },
        { "a lone dash is a path", { "-" }, Action::Run, { "-" } },
    };
    for (const auto& c : cases) {
        const ViewerCommandLine line = ParseViewerCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action) << c.name;
        if (c.action == Action::Run) {
            EXPECT_EQ(line.paths, c.paths) << c.name;
        }
        EXPECT_EQ(line.error.empty(), c.action != Action::UsageError) << c.name;
    }
}

TEST(HandOverMessage, PathsSurviveInPiecesOfAnySize)
{
    const Args paths = { "/media/me/CARD", "/home/me/with\nnewline and space.mp4", "/x" };
    const std::string message = EncodeHandOver(paths);
    for (const std::size_t piece : { std::size_t { 1 }, std::size_t { 3 }, message.size() }) {
        HandOverReader reader;
        for (std::size_t at = 0; at < message.size(); at += piece) {
            ASSERT_EQ(reader.state(), HandOverReader::State::NeedMore) << piece;
            reader.Feed(std::string_view(message).substr(at, piece));
        }
        EXPECT_EQ(reader.state(), HandOverReader::State::Complete) << piece;
        EXPECT_EQ(reader.paths(), paths) << piece;
    }
    // No path: the request to come to the front.
    HandOverReader raise;
    EXPECT_EQ(raise.Feed(EncodeHandOver({})), HandOverReader::State::Complete);
    EXPECT_TRUE(raise.paths().empty());
}

TEST(HandOverMessage, MalformedOrOversizedRequestsAreRefused)
{
    const std::string good = EncodeHandOver({ "/a" });
    const struct {
        const char* name;
        std::string bytes;
        HandOverReader::State state;
    } cases[] = {
        { "truncated", good.substr(0, good.size() - 1), HandOverReader::State::NeedMore },
        { "wrong header", std::string("HELLO\0/a\0\0", 10), HandOverReader::State::Invalid },
        { "garbage instead of a header", "GET / HTTP/1.1\r\n", HandOverReader::State::Invalid },
        { "bytes after the end", good + "x", HandOverReader::State::Invalid },
        { "past the limit", good.substr(0, 16) + std::string(HandOverReader::kMaximumBytes, 'a'),
            HandOverReader::State::Invalid },
    };
    for (const auto& c : cases) {
        HandOverReader reader;
        EXPECT_EQ(reader.Feed(c.bytes), c.state) << c.name;
    }
}

} // namespace
} // namespace velomira
