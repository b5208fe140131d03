#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <string>

#include "ScriptedMessages.h"
#include "SettingsCardFixture.h"
#include "settings/FactoryFile.h"

namespace velomira {
namespace {

using test::CardFixture;
using test::ScriptedMessages;

TEST(SettingsFilePlace, RootFirstThenSetupInAnyLetterCase)
{
    CardFixture card;
    EXPECT_FALSE(ReadSettingsFile('E', card.Drives()));
    card.WriteSettings("SETUP/DATA_SETUP.CFG", 2);
    auto content = ReadSettingsFile('E', card.Drives());
    ASSERT_TRUE(content);
    EXPECT_EQ(content->place, SettingsPlace::Setup);
    EXPECT_EQ(SettingsWord(content->bytes, 146), 2);

    card.WriteSettings("data_setup.cfg", 0);
    content = ReadSettingsFile('E', card.Drives());
    ASSERT_TRUE(content);
    EXPECT_EQ(content->place, SettingsPlace::Root);
    EXPECT_EQ(SettingsWord(content->bytes, 146), 0);
}

TEST(SettingsFileWrite, WritesTheRootWithChecksumAndLeavesNoTemporaryFile)
{
    CardFixture card;
    card.WriteSettings("SETUP/data_setup.cfg", 2);
    SettingsRecord record = DefaultSettingsRecord(0);
    record[3] = 0; // the write sets the checksum
    ASSERT_TRUE(WriteSettingsFile('E', card.Drives(), record));
    const auto written = card.Read("data_setup.cfg");
    ASSERT_EQ(written.size(), 200u);
    EXPECT_TRUE(IsSettingsRecordValid(written));
    EXPECT_EQ(card.Read("SETUP/data_setup.cfg")[146], 2); // the SETUP copy is never written
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(card.Root()))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1u);
}

TEST(SettingsFileWrite, ReplacesAnUpperCaseFileUnderItsOwnName)
{
    CardFixture card;
    card.WriteSettings("DATA_SETUP.CFG", 2);
    ASSERT_TRUE(WriteSettingsFile('E', card.Drives(), DefaultSettingsRecord(0)));
    EXPECT_FALSE(std::filesystem::exists(card.Root() / "data_setup.cfg"));
    EXPECT_EQ(card.Read("DATA_SETUP.CFG")[146], 0);
}

TEST(SettingsFileWrite, FailureLeavesTheOldFileWhole)
{
    CardFixture card;
    card.WriteSettings("data_setup.cfg", 2);
    // The temporary file's place is taken by a folder: the write fails before the rename.
    std::filesystem::create_directories(card.Root() / "data_setup.cfg.velomira-tmp" / "x");
    EXPECT_FALSE(WriteSettingsFile('E', card.Drives(), DefaultSettingsRecord(0)));
    const auto kept = card.Read("data_setup.cfg");
    EXPECT_EQ(kept.size(), 200u);
    EXPECT_EQ(kept[146], 2);
    EXPECT_FALSE(WriteSettingsFile('Q', card.Drives(), DefaultSettingsRecord(0)));
}

struct RestoreCase {
    const char* name;
    int setup; // 0 none, 1 valid, 2 wrong checksum, 3 short
    int language;
    std::vector<MessageAnswer> answers;
    SettingsCheck result;
    std::vector<std::string> texts;
    int languageWordAfter; // -1: the file is as before
};

TEST(SettingsCheckAndRestore, AsksForDamagedFilesAndRestoresOnYes)
{
    const RestoreCase cases[] = {
        { "valid file proceeds silently", 1, 1, {}, SettingsCheck::Proceed, {}, -1 },
        { "wrong checksum, yes restores", 2, 2, { MessageAnswer::Yes }, SettingsCheck::Proceed,
            { "설정파일에 문제가 있습니다. 복구할까요?" }, 2 },
        { "missing file, yes restores", 0, 0, { MessageAnswer::Yes }, SettingsCheck::Proceed,
            { "設定ファイルに問題が有ります。再度設定しますか？" }, 0 },
        { "short file, no stops", 3, 1, { MessageAnswer::No }, SettingsCheck::Stop,
            { "Setup file has a problem. Do you want to restore?", "Can't open a setup file." },
            -1 },
        { "language without texts stops silently", 2, 7, {}, SettingsCheck::Stop, {}, -1 },
    };
    for (const RestoreCase& c : cases) {
        SCOPED_TRACE(c.name);
        CardFixture card;
        if (c.setup == 1)
            card.WriteSettings("data_setup.cfg", 1);
        SettingsRecord damaged = DefaultSettingsRecord(1);
        damaged[100] ^= 0x40;
        if (c.setup == 2)
            card.Write("data_setup.cfg", damaged);
        if (c.setup == 3)
            card.Write("data_setup.cfg", std::span(damaged).first(150));
        const auto before = card.Read("data_setup.cfg");

        ScriptedMessages messages;
        messages.answers.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(CheckAndRestoreSettings('E', card.Drives(), c.language, messages), c.result);
        std::vector<std::string> texts;
        for (const auto& shown : messages.shown)
            texts.push_back(shown.text);
        EXPECT_EQ(texts, c.texts);
        if (!messages.shown.empty()) {
            EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
            EXPECT_EQ(messages.shown[0].title, "");
        }
        const auto after = card.Read("data_setup.cfg");
        if (c.languageWordAfter < 0) {
            EXPECT_EQ(after, before);
        } else {
            ASSERT_EQ(after.size(), 200u);
            EXPECT_TRUE(IsSettingsRecordValid(after));
            EXPECT_EQ(after[146], c.languageWordAfter);
        }
    }
}

// The system calls with one of them failing as a write-protected, full or failing card
// makes it fail. `call`: "open-temp", "open-settings" (opening data_setup.cfg to read it),
// "stat", "write", "fsync", "fsync-folder" or "read".
FileOperations Failing(const std::string& call, int error)
{
    FileOperations ops = SystemFileOperations();
    const FileOperations real = SystemFileOperations();
    auto folderFd = std::make_shared<int>(-1);
    const auto fail = [error] {
        errno = error;
        return -1;
    };
    if (call == "open-temp")
        ops.open = [real, fail](const char* path, int flags, mode_t mode) {
            return std::string(path).ends_with(".velomira-tmp") ? fail()
                                                                : real.open(path, flags, mode);
        };
    if (call == "open-settings")
        ops.open = [real, fail](const char* path, int flags, mode_t mode) {
            return std::string(path).ends_with("data_setup.cfg") && (flags & O_ACCMODE) == O_RDONLY
                ? fail()
                : real.open(path, flags, mode);
        };
    if (call == "stat")
        ops.stat = [fail](const char*, struct stat*) { return fail(); };
    if (call == "write") {
        // Only the first write fails: the temporary file's, on a card that is full.
        auto failed = std::make_shared<bool>(false);
        ops.write = [real, fail, failed](int fd, const void* data, std::size_t size) {
            if (*failed)
                return real.write(fd, data, size);
            *failed = true;
            return static_cast<ssize_t>(fail());
        };
    }
    if (call == "read")
        ops.read = [fail](int, void*, std::size_t) { return static_cast<ssize_t>(fail()); };
    if (call == "fsync")
        ops.fsync = [fail](int) { return fail(); };
    if (call == "fsync-folder") {
        ops.open = [real, folderFd](const char* path, int flags, mode_t mode) {
            const int fd = real.open(path, flags, mode);
            if (flags & O_DIRECTORY)
                *folderFd = fd;
            return fd;
        };
        ops.fsync
            = [real, folderFd, fail](int fd) { return fd == *folderFd ? fail() : real.fsync(fd); };
    }
    return ops;
}

std::size_t FilesIn(const std::filesystem::path& folder)
{
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files += entry.is_regular_file();
    return files;
}

TEST(SettingsFileWrite, CardErrorsLeaveTheOldFileOrAWholeNewOne)
{
    const struct Case {
        const char* call;
        int error;
        bool fileBefore;
        bool written; // what the write reports
        int languageAfter; // word 146 on the card afterwards; -1 no file
    } cases[] = {
        { "open-temp", EROFS, true, false, 2 },
        { "fsync", EIO, true, false, 2 },
        // A full card: no room for the temporary file, the record is rewritten in place.
        { "open-temp", ENOSPC, true, true, 0 },
        { "write", ENOSPC, true, true, 0 },
        { "open-temp", ENOSPC, false, false, -1 },
        // The new file is in place; only the folder flush failed: it is written.
        { "fsync-folder", EIO, true, true, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.call) + " " + std::to_string(c.error));
        CardFixture card;
        if (c.fileBefore)
            card.WriteSettings("data_setup.cfg", 2);
        int folderError = 0;
        EXPECT_EQ(WriteSettingsFile('E', card.Drives(), DefaultSettingsRecord(0),
                      Failing(c.call, c.error), [&](int error) { folderError = error; }),
            c.written);
        EXPECT_EQ(folderError, std::string(c.call) == "fsync-folder" ? c.error : 0);
        const auto after = card.Read("data_setup.cfg");
        if (c.languageAfter < 0) {
            EXPECT_FALSE(std::filesystem::exists(card.Root() / "data_setup.cfg"));
        } else {
            ASSERT_EQ(after.size(), 200u);
            EXPECT_TRUE(IsSettingsRecordValid(after));
            EXPECT_EQ(after[146], c.languageAfter);
        }
        EXPECT_EQ(FilesIn(card.Root()), c.fileBefore ? 1u : 0u); // no temporary file left
    }
}

TEST(SettingsCheckAndRestore, CardErrorsNeverPassForARestoredOrADamagedFile)
{
    // A file that cannot be stat'ed, opened or read is neither missing nor short: no
    // restore question, whose Yes would replace it with defaults.
    for (const auto& [call, error] : { std::pair { "read", EIO }, std::pair { "open-settings", EIO },
             std::pair { "open-settings", EACCES }, std::pair { "stat", EIO } }) {
        SCOPED_TRACE(std::string(call) + " " + std::to_string(error));
        CardFixture card;
        card.WriteSettings("data_setup.cfg", 1);
        const auto before = card.Read("data_setup.cfg");
        ScriptedMessages messages;
        messages.answers.assign({ MessageAnswer::Yes });
        EXPECT_EQ(CheckAndRestoreSettings('E', card.Drives(), 1, messages, Failing(call, error)),
            SettingsCheck::Stop);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "Can't open a setup file.");
        EXPECT_EQ(card.Read("data_setup.cfg"), before);
    }
    // A restore whose folder flush fails has written the defaults: the editor opens.
    {
        CardFixture card;
        ScriptedMessages messages;
        messages.answers.assign({ MessageAnswer::Yes });
        EXPECT_EQ(CheckAndRestoreSettings(
                      'E', card.Drives(), 1, messages, Failing("fsync-folder", EIO)),
            SettingsCheck::Proceed);
        EXPECT_TRUE(IsSettingsRecordValid(card.Read("data_setup.cfg")));
    }
    // A restore that cannot be written says so and stops.
    {
        CardFixture card;
        SettingsRecord damaged = DefaultSettingsRecord(1);
        damaged[100] ^= 0x40;
        card.Write("data_setup.cfg", damaged);
        ScriptedMessages messages;
        messages.answers.assign({ MessageAnswer::Yes });
        EXPECT_EQ(
            CheckAndRestoreSettings('E', card.Drives(), 1, messages, Failing("open-temp", EROFS)),
            SettingsCheck::Stop);
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_EQ(messages.shown[1].text, "Can't open a setup file.");
        EXPECT_EQ(
            card.Read("data_setup.cfg"), std::vector<std::uint8_t>(damaged.begin(), damaged.end()));
    }
    // A Spanish device: asked in English, restored with its own language word.
    {
        CardFixture card;
        ScriptedMessages messages;
        messages.answers.assign({ MessageAnswer::Yes });
        EXPECT_EQ(CheckAndRestoreSettings('E', card.Drives(), 4, messages), SettingsCheck::Proceed);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "Setup file has a problem. Do you want to restore?");
        const auto after = card.Read("data_setup.cfg");
        ASSERT_EQ(after.size(), 200u);
        EXPECT_EQ(after[146], 4);
        EXPECT_EQ(after[148], 4);
    }
}

TEST(DeviceGeneration, ByFactoryFileLengthUnderAnyCase)
{
    CardFixture card;
    EXPECT_FALSE(CheckDeviceGeneration('E', card.Drives()));
    card.WriteFactory(true, 77);
    EXPECT_TRUE(CheckDeviceGeneration('E', card.Drives()));
    card.WriteFactory(false, 78);
    EXPECT_FALSE(CheckDeviceGeneration('E', card.Drives()));
    std::filesystem::remove(card.Root() / "SETUP" / "data_factory.cfg");
    std::vector<std::uint8_t> bytes(60, '0');
    bytes[47] = '2';
    bytes[49] = '0';
    bytes[51] = '2';
    bytes[52] = 'S';
    card.Write("SETUP/Data_Factory.CFG", bytes);
    EXPECT_TRUE(CheckDeviceGeneration('E', card.Drives()));
    EXPECT_TRUE(IsNewFirmware('E', card.Drives()));
    const auto info = ReadFactoryFileInfo('E', card.Drives());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->length, 60u);
    EXPECT_EQ(info->version.number, 202);
    EXPECT_FALSE(info->settingsMark);
}

TEST(VersionMismatch, IsShownInJapaneseWithTheApplicationName)
{
    ScriptedMessages messages;
    ShowVersionMismatch(messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(
        messages.shown[0].text.rfind("本体とビュアーのバージョンが合っていません。\n", 0), 0u);
}

} // namespace
} // namespace velomira
