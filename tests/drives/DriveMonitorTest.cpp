// The drive monitor over a mount table that changes: letters stay with their mounts, and
// only the mount that left is reported, through the monitor's own signals.
#include "platform/DriveMonitor.h"

#include <gtest/gtest.h>

#include "drives/StickAndCardMounts.h"

namespace velomira {
namespace {

struct MonitorRig {
    test::StickAndCardMounts mounts;
    DriveMonitor monitor { [this](const DriveTable* previous) { return mounts.Read(previous); } };
    std::string reported; // "-E+F" ...

    MonitorRig()
    {
        QObject::connect(&monitor, &DriveMonitor::driveRemoved,
            [this](char letter) { reported += std::string("-") + letter; });
        QObject::connect(&monitor, &DriveMonitor::driveAdded,
            [this](char letter) { reported += std::string("+") + letter; });
    }
    std::string RootOf(char letter) const
    {
        const auto root = monitor.RootOf(letter);
        return root ? root->string() : std::string();
    }
};

TEST(DriveMonitor, AStickLeavingMovesNoOtherLetterAndReportsOnlyItself)
{
    MonitorRig rig;
    ASSERT_EQ(rig.RootOf('F'), "/media/user/CARD");
    rig.mounts.stick = false;
    rig.monitor.Refresh();
    EXPECT_EQ(rig.reported, "-E");
    EXPECT_EQ(rig.RootOf('F'), "/media/user/CARD");
    EXPECT_EQ(rig.RootOf('E'), "");

    // The card leaving is reported once, with its own letter.
    rig.reported.clear();
    rig.mounts.card = false;
    rig.monitor.Refresh();
    rig.monitor.Refresh();
    EXPECT_EQ(rig.reported, "-F");

    // Back in, it takes the first free letter; the drive at D keeps its own.
    rig.reported.clear();
    rig.mounts.card = true;
    rig.monitor.Refresh();
    EXPECT_EQ(rig.reported, "+E");
    EXPECT_EQ(rig.RootOf('E'), "/media/user/CARD");
    EXPECT_EQ(rig.RootOf('D'), "/media/user/OTHER");
}

TEST(DriveMonitor, WatchesTheMountTableWhenGivenAReader)
{
    MonitorRig rig;
    EXPECT_TRUE(rig.monitor.watching());
    rig.monitor.Refresh();
    EXPECT_EQ(rig.reported, "");
}

} // namespace
} // namespace velomira
