// The Setup command on cards made here, and the settings window as a user drives it.
#include "app/commands/SetupCommand.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <functional>
#include <set>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>

#include "app/CSamplePlayerDlg.h"
#include "platform/CardPath.h"
#include "settings/CardValues.h"
#include "settings/SettingsFile.h"
#include "settings/editor/CNewSetupDlg.h"
#include "settings/editor/CSettingsPage.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/TestPaths.h"

namespace velomira {
namespace {

namespace fs = std::filesystem;

struct Card {
    test::TempDir root { "velomira-setup" };
    FixedDriveRoots drives { 'E', root.Path() };

    Card() { fs::create_directories(root / "SETUP"); }
    void MakeCard() const { fs::create_directories(root / "EVENT"); }
    void Write(const fs::path& relative, std::span<const std::uint8_t> bytes) const
    {
        std::ofstream out(root / relative, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> Read(const fs::path& relative) const
    {
        std::ifstream in(root / relative, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    // A factory file with the settings mark and firmware digits "a.b.c" at 47, 49, 51.
    void Factory(const char* digits, std::size_t length = 66) const
    {
        std::vector<std::uint8_t> bytes(length, '0');
        bytes[0] = 'P';
        bytes[1] = 'L';
        bytes[2] = 'K';
        bytes[47] = static_cast<std::uint8_t>(digits[0]);
        bytes[49] = static_cast<std::uint8_t>(digits[1]);
        bytes[51] = static_cast<std::uint8_t>(digits[2]);
        bytes[52] = 0;
        Write("SETUP/data_factory.cfg", bytes);
    }
    void Settings(const fs::path& relative, int language, bool damaged = false) const
    {
        SettingsRecord record = DefaultSettingsRecord(language);
        if (damaged)
            record[3] ^= 0x5A;
        Write(relative, record);
    }
};

struct Rig {
    test::ScriptedMessageBoxService messages;
    CSamplePlayerDlg window { nullptr, &messages };
    CardValues values;
    Card card;
    int plays = 0;
    int mapShown = 0;
    int playerState = 2;
    int writes = 0;
    bool opened = false;
    bool failWrites = false;
    // Reads of the settings file fail from its open number `failReadsFrom` on (0: every
    // read; -1: none), as on a card that fails now and then.
    int failReadsFrom = -1;
    int settingsOpens = 0;
    std::set<int> settingsFds;
    std::function<void(CNewSetupDlg&)> act = [](CNewSetupDlg&) {};
    SetupCommand command { window, values, card.drives,
        { [this] { return playerState; }, [this] { ++plays; }, [] {}, [this] { ++mapShown; } } };

    Rig()
    {
        command.SetDialogRunner([this](CNewSetupDlg& dialog) {
            opened = true;
            dialog.show();
            act(dialog);
            dialog.close();
        });
        // The card's system calls: writes are counted and may fail as on a write-protected
        // card; reads of the settings file may fail as on a failing card.
        FileOperations ops = SystemFileOperations();
        ops.open = [this](const char* path, int flags, mode_t mode) {
            if ((flags & (O_WRONLY | O_RDWR)) != 0) {
                ++writes;
                if (failWrites) {
                    errno = EROFS;
                    return -1;
                }
            }
            const int fd = ::open(path, flags, mode);
            if (std::string_view(path).ends_with("data_setup.cfg")
                && failReadsFrom >= 0 && settingsOpens++ >= failReadsFrom)
                settingsFds.insert(fd);
            return fd;
        };
        ops.read = [this](int fd, void* buffer, std::size_t size) -> ssize_t {
            if (settingsFds.count(fd)) {
                errno = EIO;
                return -1;
            }
            return ::read(fd, buffer, size);
        };
        ops.close = [this](int fd) {
            settingsFds.erase(fd);
            return ::close(fd);
        };
        command.SetFileOperations(ops);
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : messages.shown())
            texts.push_back(box.text);
        return texts;
    }
};

template<typename T>
T* Control(CNewSetupDlg& dialog, PageKind kind, int language, int id)
{
    CSettingsPage* page = dialog.Page(kind, language);
    return page == nullptr ? nullptr : page->findChild<T*>(QString::number(id));
}

void Key(QWidget* target, int key)
{
    const QString text = key >= Qt::Key_0 && key <= Qt::Key_9 ? QString(QChar(key)) : QString();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

struct CommandCase {
    const char* name;
    std::function<void(Card&)> prepare;
    std::vector<MessageAnswer> answers;
    std::function<void(CNewSetupDlg&)> act;
    bool failWrites;
    std::vector<std::string> texts; // every box shown, in order
    bool opened;
    int writes; // write attempts
    int failReadsFrom = -1;
};

TEST(SetupCommand, RunsItsStepsOnEveryKindOfCard)
{
    const auto clickEnglish
        = [](CNewSetupDlg& d) { Control<QRadioButton>(d, PageKind::System, 2, 1213)->click(); };
    const auto clickTwice = [](CNewSetupDlg& d) {
        Control<QCheckBox>(d, PageKind::DrivingAssistance, 2, 1231)->click();
        Control<QCheckBox>(d, PageKind::DrivingAssistance, 2, 1231)->click();
    };
    const CommandCase cases[] = {
        { "no card", [](Card&) {}, {}, nullptr, false, { "SDカードを認識できません。" }, false, 0 },
        { "other generation",
            [](Card& c) {
                c.MakeCard();
                c.Factory("303", 78);
                c.Settings("data_setup.cfg", 2);
            },
            {}, nullptr, false, { "本体とビュアーのバージョンが合っていません。" }, false, 0 },
        { "damaged file restored",
            [](Card& c) {
                c.MakeCard();
                c.Factory("303");
                c.Settings("data_setup.cfg", 2, true);
            },
            { MessageAnswer::Yes }, nullptr, false, { "설정파일에 문제가 있습니다. 복구할까요?" },
            true, 1 },
        { "damaged file not restored",
            [](Card& c) {
                c.MakeCard();
                c.Factory("303");
                c.Settings("data_setup.cfg", 2, true);
            },
            { MessageAnswer::No }, nullptr, false,
            { "설정파일에 문제가 있습니다. 복구할까요?", "셋업파일을 열 수 없습니다." }, false, 0 },
        { "unchanged close",
            [](Card& c) {
                c.MakeCard();
                c.Factory("199");
                c.Settings("data_setup.cfg", 2);
            },
            {}, nullptr, false, {}, true, 0 },
        { "changed and changed back",
            [](Card& c) {
                c.MakeCard();
                c.Factory("303");
                c.Settings("data_setup.cfg", 2);
            },
            {}, clickTwice, false, {}, true, 0 },
        { "english question in the korean window",
            [](Card& c) {
                c.MakeCard();
                c.Factory("303");
                c.Settings("data_setup.cfg", 2);
            },
            { MessageAnswer::Yes }, clickEnglish, false, { "Do you want to save the changes?" },
            true, 1 },
        { "failed write is told",
            [](Card& c) {
                c.MakeCard();
                c.Factory("303");
                c.Settings("data_setup.cfg", 2);
            },
            { MessageAnswer::Yes }, clickEnglish, true,
            { "Do you want to save the changes?", "셋업파일을 열 수 없습니다." }, true, 1 },
        { "no settings file: zeros shown, root file made",
            [](Card& c) {
                c.MakeCard();
                c.Factory("199");
            },
            { MessageAnswer::Yes },
            [](CNewSetupDlg& d) {
                EXPECT_EQ(d.record(), SettingsRecord {});
                Control<QCheckBox>(d, PageKind::DrivingAssistance, 2, 1231)->click();
            },
            false, { "変更を保存しますか？" }, true, 1 },
        { "unreadable file on old firmware is not edited",
            [](Card& c) {
                c.MakeCard();
                c.Factory("199");
                c.Settings("data_setup.cfg", 2);
            },
            {}, nullptr, false, { "셋업파일을 열 수 없습니다." }, false, 0, 0 },
        { "read error after the check on new firmware is not edited",
            [](Card& c) {
                c.MakeCard();
                c.Factory("303");
                c.Settings("data_setup.cfg", 2);
            },
            { MessageAnswer::Yes }, [](CNewSetupDlg& d) {
                Control<QCheckBox>(d, PageKind::DrivingAssistance, 2, 1231)->click();
            },
            // Reads 0 and 1 are the command's checks; read 2 is the one the window edits.
            false, { "셋업파일을 열 수 없습니다." }, false, 0, 2 },
        { "declined question writes nothing",
            [](Card& c) {
                c.MakeCard();
                c.Factory("303");
                c.Settings("data_setup.cfg", 2);
            },
            { MessageAnswer::No }, clickEnglish, false, { "Do you want to save the changes?" },
            true, 0 },
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        c.prepare(rig.card);
        for (const MessageAnswer answer : c.answers)
            rig.messages.Script(answer);
        if (c.act)
            rig.act = c.act;
        rig.failWrites = c.failWrites;
        rig.failReadsFrom = c.failReadsFrom;
        const auto before = rig.card.Read("data_setup.cfg");
        rig.command.OnSetup();
        const auto texts = rig.Texts();
        ASSERT_EQ(texts.size(), c.texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(texts[i].rfind(c.texts[i], 0), 0u) << texts[i];
        EXPECT_EQ(rig.opened, c.opened);
        EXPECT_EQ(rig.writes, c.writes);
        EXPECT_EQ(rig.mapShown, 1);
        if (c.writes == 0 || c.failWrites) {
            EXPECT_EQ(rig.card.Read("data_setup.cfg"), before);
        } else if (c.writes > 0) {
            EXPECT_TRUE(IsSettingsRecordValid(rig.card.Read("data_setup.cfg")));
        }
    }
}

TEST(SetupCommand, SavedLanguageTakesEffectAndRunningPlayerIsPaused)
{
    Rig rig;
    rig.card.MakeCard();
    rig.card.Factory("303");
    rig.card.Settings("data_setup.cfg", 2);
    rig.playerState = 0;
    rig.act = [](CNewSetupDlg& d) {
        EXPECT_EQ(d.language(), 2);
        Control<QRadioButton>(d, PageKind::System, 2, 1213)->click();
    };
    rig.command.OnSetup();
    EXPECT_EQ(rig.plays, 1);
    EXPECT_EQ(rig.window.language(), 1);
    const auto saved = rig.card.Read("data_setup.cfg");
    ASSERT_EQ(saved.size(), 200u);
    EXPECT_TRUE(IsSettingsRecordValid(saved));
    EXPECT_EQ(SettingsWord(saved, 146), 1);
    EXPECT_EQ(SettingsWord(saved, 148), 1);
}

TEST(SetupCommand, SettingsFoundOnlyInSetupAreSavedToTheRoot)
{
    Rig rig;
    rig.card.MakeCard();
    rig.card.Factory("199");
    rig.card.Settings("SETUP/data_setup.cfg", 1);
    const auto setupCopy = rig.card.Read("SETUP/data_setup.cfg");
    rig.messages.Script(MessageAnswer::Yes);
    rig.act = [](CNewSetupDlg& d) {
        EXPECT_EQ(d.record()[0], 'P');
        Control<QRadioButton>(d, PageKind::Install, 1, 1272)->click();
    };
    rig.command.OnSetup();
    const auto root = rig.card.Read("data_setup.cfg");
    ASSERT_EQ(root.size(), 200u);
    EXPECT_EQ(SettingsWord(root, 12), 1);
    EXPECT_EQ(SettingsWord(root, 14), 150);
    EXPECT_EQ(rig.card.Read("SETUP/data_setup.cfg"), setupCopy);
}

TEST(SetupWindow, ShowsTheTabsAndPagesOfItsLanguageOnly)
{
    Card card;
    card.MakeCard();
    card.Settings("data_setup.cfg", 1);
    test::ScriptedMessageBoxService messages;
    struct Case {
        int language;
        std::vector<const char*> tabs;
    };
    const Case cases[] = {
        { 2, { "스마트카", "블랙박스", "환경설정", "차종설정", "GMT" } },
        { 1, { "SmartCar", "BlackBox", "Setup", "Install", "GMT" } },
        { 0, { "運転支援", "ドライブレコーダー", "各種設定", "インストール", "GMT" } },
        { 4, { "SmartCar", "BlackBox", "Setup", "Install", "GMT" } },
        { 7, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        CNewSetupDlg dialog("E:", c.language, ReadSettingsFile('E', card.drives), messages);
        dialog.show();
        QTabWidget* tabs = dialog.findChild<QTabWidget*>(QStringLiteral("1211"));
        ASSERT_EQ(tabs, dialog.tabs());
        ASSERT_EQ(tabs->count(), static_cast<int>(c.tabs.size()));
        for (int i = 0; i < tabs->count(); ++i)
            EXPECT_EQ(tabs->tabText(i).toStdString(), c.tabs[static_cast<std::size_t>(i)]);
        for (const int language : { 0, 1, 2 }) {
            CSettingsPage* page = dialog.Page(PageKind::DrivingAssistance, language);
            ASSERT_NE(page, nullptr);
            EXPECT_EQ(page->isVisible(), language == EditorLanguage(c.language));
            // Every page is loaded, shown or not.
            EXPECT_EQ(page->model().State(page->table().controls[0].id)->checked, true);
        }
        if (!c.tabs.empty()) {
            tabs->setCurrentIndex(3);
            const int shown = EditorLanguage(c.language);
            EXPECT_TRUE(dialog.Page(PageKind::Install, shown)->isVisible());
            EXPECT_FALSE(dialog.Page(PageKind::DrivingAssistance, shown)->isVisible());
        }
    }
}

// Tab moves through every page's controls in the order of its table.
TEST(SetupWindow, TabOrderFollowsEachPagesReadingOrder)
{
    Card card;
    card.MakeCard();
    test::ScriptedMessageBoxService messages;
    for (const int language : { 0, 1, 2 }) {
        CNewSetupDlg dialog("E:", language, ReadSettingsFile('E', card.drives), messages);
        for (const PageKind kind : { PageKind::DrivingAssistance, PageKind::Recorder,
                 PageKind::System, PageKind::Install, PageKind::Gmt }) {
            CSettingsPage* page = dialog.Page(kind, language);
            std::vector<QString> expected;
            for (const ControlPlan& plan : page->table().controls) {
                if (!plan.hidden && plan.kind != ControlKind::Field)
                    expected.push_back(QString::number(plan.id));
            }
            std::vector<QString> chain;
            QWidget* first = page->findChild<QWidget*>(expected.front());
            QWidget* w = first;
            do {
                if (page->isAncestorOf(w) && w->focusPolicy() & Qt::TabFocus && !w->isHidden()
                    && !w->objectName().isEmpty() && !w->objectName().startsWith(u"group"))
                    chain.push_back(w->objectName());
                w = w->nextInFocusChain();
            } while (w != first);
            EXPECT_EQ(chain, expected) << page->table().className;
        }
    }
}

TEST(SetupWindow, KeysSlidersAndEmptiedFieldsBehaveAsOnTheDevicePages)
{
    Card card;
    card.MakeCard();
    card.Settings("data_setup.cfg", 1);
    test::ScriptedMessageBoxService messages;
    CNewSetupDlg dialog("E:", 1, ReadSettingsFile('E', card.drives), messages);
    dialog.show();
    const SettingsRecord opening = dialog.record();

    auto* speed = Control<QLineEdit>(dialog, PageKind::DrivingAssistance, 1, 1284);
    ASSERT_NE(speed, nullptr);
    speed->setFocus();
    for (const int key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape }) {
        Key(speed, key);
        Key(&dialog, key);
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.record(), opening);

    speed->selectAll();
    Key(speed, Qt::Key_Backspace);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "整数を入力してください。");
    EXPECT_EQ(dialog.record(), opening);

    dialog.tabs()->setCurrentIndex(1);
    auto* slider = Control<QSlider>(dialog, PageKind::Recorder, 1, 1410);
    ASSERT_NE(slider, nullptr);
    slider->setSliderDown(true);
    slider->setValue(73);
    slider->setSliderDown(false);
    EXPECT_EQ(slider->value(), 73);
    EXPECT_EQ(SettingsWord(dialog.record(), 120), 70);
    EXPECT_EQ(Control<QLineEdit>(dialog, PageKind::Recorder, 1, 1096)->text(), "0.7");
    Control<QRadioButton>(dialog, PageKind::Recorder, 1, 1299)->click();
    EXPECT_EQ(slider->value(), 90);

    auto* speaker = Control<QLineEdit>(dialog, PageKind::System, 1, 1303);
    speaker->selectAll();
    Key(speaker, Qt::Key_2);
    Key(speaker, Qt::Key_0);
    EXPECT_EQ(speaker->text(), "15");
    EXPECT_EQ(SettingsWord(dialog.record(), 152), 15);
}

} // namespace
} // namespace velomira
