#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "settings/SettingsRecord.h"
#include "support/TestPaths.h"

namespace velomira {
namespace {

struct CardRun {
    int status = -1;
    std::string out;
};

// Runs velomira-card with `arguments` (already quoted for the shell), standard error
// dropped.
CardRun Card(const std::string& arguments)
{
    const std::string command
        = std::string(VELOMIRA_CARD_PROGRAM) + " " + arguments + " 2>/dev/null";
    CardRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> buffer;
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), count);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quoted(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

class CardCommands : public ::testing::Test {
protected:
    test::TempDir card { "velomira-cli" };

    void SetUp() override
    {
        std::filesystem::create_directories(card / "EVENT");
        std::filesystem::create_directories(card / "Normal" / "d");
        std::filesystem::create_directories(card / "SETUP");
        std::ofstream(card / "EVENT" / "20240316_101010_ab.mp4") << "";
        std::ofstream(card / "Normal" / "d" / "20240315_101010_ab.mp4") << "";
    }
    std::string Root() const { return Quoted(card.Path()); }
};

TEST_F(CardCommands, ScanPrintsTheVisibleListInBothOrdersAndFilters)
{
    CardRun run = Card("scan " + Root());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
        "2024-03-16\t10:10:10\tEVENT\t" + (card / "EVENT" / "20240316_101010_ab.mp4").string()
            + "\n" + "2024-03-15\t10:10:10\tNormal\t"
            + (card / "Normal" / "d" / "20240315_101010_ab.mp4").string() + "\n");
    run = Card("scan " + Root() + " --ascending --show normal --json");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
        "[{\"date\":\"2024-03-15\",\"time\":\"10:10:10\",\"kind\":\"Normal\",\"path\":\""
            + (card / "Normal" / "d" / "20240315_101010_ab.mp4").string()
            + "\",\"key\":20240315101010}]\n");
}

TEST_F(CardCommands, BadInputExitsWithTwo)
{
    const std::vector<std::string> bad
        = { std::string("scan"), "scan /nonexistent-velomira", "scan " + Root() + " --show x",
              std::string("settings"), "settings show " + Root() + " extra",
              "settings set " + Root() + " 5=1", "settings set " + Root() + " 4=70000",
              "settings restore " + Root() + " --language 3", std::string("telemetry --samples"),
              std::string("telemetry --samples /nonexistent --duration-ms 5"),
              std::string("factory"), std::string("nonsense"), std::string("import") };
    for (const std::string& arguments : bad)
        EXPECT_EQ(Card(arguments).status, 2) << arguments;
}

TEST_F(CardCommands, SettingsRestoreCheckSetAndShow)
{
    EXPECT_EQ(Card("settings check " + Root()).status, 1);
    EXPECT_EQ(Card("settings show " + Root()).status, 1);
    EXPECT_EQ(Card("settings set " + Root() + " 146=1").status, 1);
    EXPECT_EQ(Card("settings restore " + Root() + " --language 0").status, 0);
    EXPECT_EQ(Card("settings check " + Root()).status, 0);
    EXPECT_EQ(Card("settings set " + Root() + " 146=1 148=1 140=1").status, 0);
    const CardRun show = Card("settings show " + Root() + " --json");
    EXPECT_EQ(show.status, 0);
    EXPECT_NE(show.out.find("\"place\":\"root\""), std::string::npos);
    EXPECT_NE(show.out.find("\"valid\":true"), std::string::npos);
    EXPECT_NE(show.out.find("\"140\":1,"), std::string::npos);
    EXPECT_NE(show.out.find("\"146\":1,\"148\":1,"), std::string::npos);
    EXPECT_NE(show.out.find("\"166\":9,"), std::string::npos);

    // A changed byte without a new checksum is damaged.
    std::fstream file(card / "data_setup.cfg", std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(100);
    file.put('\x7f');
    file.close();
    EXPECT_EQ(Card("settings check " + Root()).status, 1);
    EXPECT_NE(Card("settings show " + Root()).out.find("valid: no"), std::string::npos);

    // Setting a word of a damaged file would hide the damage under a fresh checksum:
    // refused unless forced.
    EXPECT_EQ(Card("settings set " + Root() + " 140=0").status, 1);
    EXPECT_EQ(Card("settings check " + Root()).status, 1);
    EXPECT_EQ(Card("settings set " + Root() + " 140=0 --force").status, 0);
    EXPECT_EQ(Card("settings check " + Root()).status, 0);
}

TEST_F(CardCommands, SettingsSetKeepsCompanionWordsInStep)
{
    ASSERT_EQ(Card("settings restore " + Root() + " --language 1").status, 0);
    ASSERT_EQ(Card("settings set " + Root() + " 50=80 108=40 146=2").status, 0);
    const CardRun show = Card("settings show " + Root() + " --json");
    EXPECT_NE(show.out.find("\"50\":80,\"52\":75,"), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("\"108\":40,\"110\":35,"), std::string::npos);
    EXPECT_NE(show.out.find("\"146\":2,\"148\":2,"), std::string::npos);
}

TEST_F(CardCommands, FactoryReportsGenerationVersionAndMark)
{
    EXPECT_EQ(Card("factory " + Root()).status, 1);
    std::string bytes(80, '.');
    bytes.replace(0, 3, "PLK");
    bytes[47] = '2';
    bytes[49] = '0';
    bytes[51] = '3';
    bytes[52] = '\0';
    std::ofstream(card / "SETUP" / "DATA_FACTORY.CFG", std::ios::binary) << bytes;
    const CardRun run = Card("factory " + Root() + " --json");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
        "{\"length\":80,\"compatible\":false,\"version\":203,\"suffix\":0,\"newFirmware\":true,"
        "\"settingsMark\":true}\n");
}

TEST_F(CardCommands, TelemetryFromSampleText)
{
    const auto samples = card / "samples.txt";
    std::ofstream(samples)
        << "# chosen samples\n"
           "0 4d 00 08 00 0c 00 04 00 02 00 fc 00 00 01 00 00 0c 22 38 3c 00\n"
           "40 $GNRMC,123519.000,A,3733.1234,N,12700.5000,E,10.0,54.7,150312,,,A*6C\r\n";
    const CardRun run = Card("telemetry --samples " + Quoted(samples) + " --duration-ms 1000");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"timeMs\":40,"), std::string::npos);
    EXPECT_NE(
        run.out.find(
            "\"x\":-1,\"y\":0,\"z\":1,\"x2\":0,\"y2\":0.5,\"z2\":-1,\"clock\":[1,0,0,12,34,56],"
            "\"status\":[60,0,0,0,0,0,0,0,0,0,0]"),
        std::string::npos);
    EXPECT_NE(run.out.find("\"timelineCount\":1}"), std::string::npos);
}

} // namespace
} // namespace velomira
