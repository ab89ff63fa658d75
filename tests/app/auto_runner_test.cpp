// The start-with-the-system switch over fake logon entries.
#include "app/auto_runner.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_startup_entry.h"

namespace {

constexpr auto kUser = TRegLocation::CurrentUser;
constexpr auto kMachine = TRegLocation::LocalMachine;
const std::string kProgram = "/opt/dniarz/dniarz";

}  // namespace

TEST(AutoRunner, WithNoEntryTheBoxIsUnticked)
{
    FakeStartupEntry entries;
    entries.Put(kUser, "InnyProgram", "/usr/bin/inny");
    const TAutoRunner runner = MainWindowAutoRunner(entries, kProgram);
    EXPECT_FALSE(runner.AutoRun());
    EXPECT_EQ(runner.RegLocation(), kUser);
    EXPECT_EQ(entries.Changes(), 0) << "setting up must not touch the entries";
}

TEST(AutoRunner, AnEmptyCommandCountsAsAbsent)
{
    FakeStartupEntry entries;
    entries.Put(kUser, "ZWDniarz", "");
    EXPECT_FALSE(MainWindowAutoRunner(entries, kProgram).AutoRun());

    // An empty user entry does not hide a real one on the machine.
    entries.Put(kMachine, "ZWDniarz", "/usr/bin/dniarz -hide");
    const TAutoRunner runner = MainWindowAutoRunner(entries, kProgram);
    EXPECT_TRUE(runner.AutoRun());
    EXPECT_EQ(runner.RegLocation(), kMachine);
}

TEST(AutoRunner, TickingWritesTheProgramWithHideAndUntickingRemovesIt)
{
    FakeStartupEntry entries;
    TAutoRunner runner = MainWindowAutoRunner(entries, kProgram);
    runner.SetAutoRun(true);
    EXPECT_EQ(entries.Read(kUser, "ZWDniarz"), "/opt/dniarz/dniarz -hide");
    EXPECT_FALSE(entries.Read(kMachine, "ZWDniarz"));
    EXPECT_TRUE(MainWindowAutoRunner(entries, kProgram).AutoRun());

    runner.SetAutoRun(false);
    EXPECT_FALSE(entries.Read(kUser, "ZWDniarz"));
    EXPECT_FALSE(runner.AutoRun());
}

TEST(AutoRunner, TheEntryStartsTheProgramOnTheFolderItWasToldToUse)
{
    // A program run on its own notes folder must find the same notes after the next logon.
    FakeStartupEntry entries;
    TAutoRunner runner = MainWindowAutoRunner(entries, kProgram, {"--dir", "/home/ala/moje notatki"});
    runner.SetAutoRun(true);
    EXPECT_EQ(entries.Read(kUser, "ZWDniarz"), "/opt/dniarz/dniarz -hide --dir /home/ala/moje notatki");
}

TEST(AutoRunner, AnUnchangedBoxTouchesNothing)
{
    for (bool present : {false, true}) {
        SCOPED_TRACE(present);
        FakeStartupEntry entries;
        if (present)
            entries.Put(kUser, "ZWDniarz", "/stary/dniarz -hide");
        TAutoRunner runner = MainWindowAutoRunner(entries, kProgram);
        runner.SetAutoRun(present);
        EXPECT_EQ(entries.Changes(), 0);
        // A moved program keeps its old entry until the box is unticked and ticked again.
        if (present) {
            EXPECT_EQ(entries.Read(kUser, "ZWDniarz"), "/stary/dniarz -hide");
        }
    }
}

TEST(AutoRunner, AnEntryOnlyOnTheMachineStaysThere)
{
    FakeStartupEntry entries;
    entries.Put(kMachine, "ZWDniarz", "/usr/bin/dniarz -hide");
    TAutoRunner runner = MainWindowAutoRunner(entries, kProgram);
    EXPECT_TRUE(runner.AutoRun());
    EXPECT_EQ(runner.RegLocation(), kMachine);

    entries.Put(kUser, "ZWDniarz", "");  // a leftover that unticking must clear as well
    runner.SetAutoRun(false);
    EXPECT_FALSE(entries.Read(kUser, "ZWDniarz"));
    EXPECT_FALSE(entries.Read(kMachine, "ZWDniarz"));

    runner.SetAutoRun(true);
    EXPECT_EQ(entries.Read(kMachine, "ZWDniarz"), "/opt/dniarz/dniarz -hide");
    EXPECT_FALSE(entries.Read(kUser, "ZWDniarz"));
}

// Unticking that leaves the machine's entry (an ordinary user may not remove it) is no success:
// the program still starts at the next logon, so the box stays ticked and the caller is told.
TEST(AutoRunner, ARefusedRemovalKeepsTheBoxTicked)
{
    FakeStartupEntry entries;
    entries.Put(kMachine, "ZWDniarz", "/usr/bin/dniarz -hide");
    entries.SetReadOnly(kMachine, true);
    TAutoRunner runner = MainWindowAutoRunner(entries, kProgram);
    EXPECT_FALSE(runner.SetAutoRun(false));
    EXPECT_TRUE(runner.AutoRun());
    EXPECT_TRUE(entries.Read(kMachine, "ZWDniarz")) << "an ordinary user cannot remove the machine's entry";
    EXPECT_FALSE(entries.Read(kUser, "ZWDniarz"));
    EXPECT_NE(AutoRunNotRemovedMessage().find("nadal"), std::string::npos);
}

TEST(AutoRunner, ARefusedWriteLeavesTheBoxUnticked)
{
    FakeStartupEntry entries;
    entries.SetReadOnly(kUser, true);
    TAutoRunner runner = MainWindowAutoRunner(entries, kProgram);
    EXPECT_FALSE(runner.AutoRun());

    EXPECT_FALSE(runner.SetAutoRun(true));
    EXPECT_FALSE(runner.AutoRun()) << "no entry was written: no start will happen";
    EXPECT_FALSE(entries.Read(kUser, "ZWDniarz"));
    EXPECT_TRUE(runner.SetAutoRun(false));
}

TEST(AutoRunner, MovingTheLocationMovesTheEntry)
{
    FakeStartupEntry entries;
    TAutoRunner runner = MainWindowAutoRunner(entries, kProgram);
    runner.SetAutoRun(true);
    EXPECT_TRUE(runner.SetRegLocation(kMachine));
    EXPECT_EQ(runner.RegLocation(), kMachine);
    EXPECT_FALSE(entries.Read(kUser, "ZWDniarz"));
    EXPECT_EQ(entries.Read(kMachine, "ZWDniarz"), "/opt/dniarz/dniarz -hide");
}

TEST(AutoRunner, ARefusedMoveKeepsTheOldLocationAndItsEntry)
{
    FakeStartupEntry entries;
    TAutoRunner runner = MainWindowAutoRunner(entries, kProgram);
    runner.SetAutoRun(true);
    entries.SetReadOnly(kMachine, true);
    EXPECT_FALSE(runner.SetRegLocation(kMachine));
    EXPECT_EQ(runner.RegLocation(), kUser) << "a place that refused the entry is not recorded";
    EXPECT_TRUE(runner.AutoRun());
    EXPECT_EQ(entries.Read(kUser, "ZWDniarz"), "/opt/dniarz/dniarz -hide");
    EXPECT_FALSE(entries.Read(kMachine, "ZWDniarz"));

    // Neither place may be changed: the user's entry stays, and so does the box.
    entries.SetReadOnly(kUser, true);
    EXPECT_FALSE(runner.SetRegLocation(kMachine));
    EXPECT_EQ(runner.RegLocation(), kUser);
    EXPECT_TRUE(runner.AutoRun());
    EXPECT_EQ(entries.Read(kUser, "ZWDniarz"), "/opt/dniarz/dniarz -hide");
}

TEST(AutoRunner, ServiceKeysExistOnlyOnTheMachine)
{
    FakeStartupEntry entries;
    TAutoRunner runner(entries, kProgram);
    runner.SetAutoRunWhere(TAutoRunWhere::RunServices);
    EXPECT_EQ(runner.AutoRunWhere(), TAutoRunWhere::Run);

    runner.SetRegLocation(kMachine);
    runner.SetAutoRunWhere(TAutoRunWhere::RunServicesOnce);
    EXPECT_EQ(runner.AutoRunWhere(), TAutoRunWhere::RunServicesOnce);
    runner.SetRegLocation(kUser);
    EXPECT_EQ(runner.AutoRunWhere(), TAutoRunWhere::Run);
    EXPECT_EQ(entries.Changes(), 0) << "nothing is live before loading ends";
}
