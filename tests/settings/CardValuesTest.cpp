#include "settings/CardValues.h"

#include <gtest/gtest.h>

#include "SettingsCardFixture.h"

namespace velomira {
namespace {

using test::CardFixture;

TEST(LanguageFromCard, NoCardGivesJapaneseAndNoDrive)
{
    FixedDriveRoots none;
    CardValues values { 2, 0, "E:" };
    EXPECT_EQ(ResolveLanguage(-1, none, values), 0);
    EXPECT_EQ(values.cardDrive, "");
}

TEST(LanguageFromCard, ReadsWord146WhenTheFactoryFileIsMarked)
{
    struct Case {
        const char* name;
        bool mark;
        const char* settingsAt; // nullptr: none
        int word;
        int start;
        int expected;
    } cases[] = {
        { "english", true, "data_setup.cfg", 1, 0, 1 },
        { "korean", true, "data_setup.cfg", 2, 0, 2 },
        { "outside the three", true, "data_setup.cfg", 7, 0, 7 },
        { "only in SETUP", true, "SETUP/data_setup.cfg", 2, 0, 2 },
        { "no mark keeps", false, "data_setup.cfg", 2, 1, 1 },
        { "no settings file keeps", true, nullptr, 0, 1, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CardFixture card;
        card.WriteFactory(c.mark);
        if (c.settingsAt)
            card.WriteSettings(c.settingsAt, c.word);
        CardValues values { c.start, 0, "" };
        EXPECT_EQ(ResolveLanguage(-1, card.Drives(), values), c.expected);
        EXPECT_EQ(values.cardDrive, "E:");
    }
}

TEST(LanguageFromCard, RootFileIsPreferredOverSetupAndExplicitValuesAreTaken)
{
    CardFixture card;
    card.WriteFactory(true);
    card.WriteSettings("SETUP/data_setup.cfg", 2);
    card.WriteSettings("data_setup.cfg", 1);
    CardValues values;
    EXPECT_EQ(ResolveLanguage(-1, card.Drives(), values), 1);
    EXPECT_EQ(ResolveLanguage(2, card.Drives(), values), 2);
}

TEST(SpeedUnitFromCard, TakesWord140WhenMarkedElseKeeps)
{
    CardFixture card;
    card.WriteFactory(true);
    card.WriteSettings("data_setup.cfg", 1, 1);
    CardValues values;
    EXPECT_EQ(ResolveSpeedUnit(2, card.Drives(), values), 1);
    card.WriteSettings("data_setup.cfg", 1, 9);
    EXPECT_EQ(ResolveSpeedUnit(2, card.Drives(), values), 0);

    CardFixture unmarked;
    unmarked.WriteFactory(false);
    unmarked.WriteSettings("data_setup.cfg", 1, 1);
    values.speedUnit = 1;
    EXPECT_EQ(ResolveSpeedUnit(2, unmarked.Drives(), values), 1);
    EXPECT_EQ(ResolveSpeedUnit(0, unmarked.Drives(), values), 0);

    FixedDriveRoots none;
    values.speedUnit = 1;
    EXPECT_EQ(ResolveSpeedUnit(2, none, values), 0);
}

} // namespace
} // namespace velomira
