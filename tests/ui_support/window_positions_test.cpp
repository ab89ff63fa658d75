// The window position keeper's memory, restore and save.
#include "ui_support/window_positions.h"

#include <gtest/gtest.h>

TEST(WindowPositions, FirstOpeningKeepsTheDefaultAndTheNextOneTheMovedPlace)
{
    WindowPositionMemory memory;
    const TFormPosKeeper keeper;
    const WindowRestore first = keeper.Restore(memory, "Tconfig", true);
    EXPECT_FALSE(first.maximize || first.setPosition || first.setSize);

    keeper.Save(memory, "Tconfig", {0, 640, -20, 380, 410}, true);
    const WindowRestore next = keeper.Restore(memory, "Tconfig", true);
    EXPECT_TRUE(next.setPosition);
    EXPECT_FALSE(next.setSize) << "a dialog frame keeps its own size";
    EXPECT_FALSE(next.maximize);
    EXPECT_EQ(next.placement.left, 640);
    EXPECT_EQ(next.placement.top, -20);

    EXPECT_TRUE(keeper.Restore(memory, "Tconfig", false).setSize);
    TFormPosKeeper fixedSize;
    fixedSize.ChangeSize = false;
    EXPECT_FALSE(fixedSize.Restore(memory, "Tconfig", false).setSize);
}

TEST(WindowPositions, AMaximizedWindowComesBackMaximizedOnly)
{
    WindowPositionMemory memory;
    const TFormPosKeeper keeper;
    keeper.Save(memory, "Tinfo", {2, 0, 0, 1920, 1080}, true);
    const WindowRestore r = keeper.Restore(memory, "Tinfo", false);
    EXPECT_TRUE(r.maximize);
    EXPECT_FALSE(r.setPosition);
    EXPECT_FALSE(r.setSize);
}

TEST(WindowPositions, LinesAreSortedOnePerKeyInTheStoredForm)
{
    WindowPositionMemory memory;
    TFormPosKeeper named;
    named.ExtraName = "Notatki";
    const TFormPosKeeper byClass;
    byClass.Save(memory, "Tinfo", {0, 1, 2, 3, 4}, true);
    named.Save(memory, "Tinfo", {1, -5, 6, 7, 8}, true);
    byClass.Save(memory, "Tconfig", {0, 10, 20, 30, 40}, true);
    byClass.Save(memory, "Tinfo", {0, 100, 200, 300, 400}, true);
    EXPECT_EQ(memory.Lines(),
              (std::vector<std::string>{"Notatki=1,-5,6,7,8,", "Tconfig=0,10,20,30,40,", "Tinfo=0,100,200,300,400,"}));
    EXPECT_EQ(named.Restore(memory, "Tinfo", false).placement, (WindowPlacement{1, -5, 6, 7, 8}));
}

TEST(WindowPositions, AKeyIsFoundBesideLongerKeysThatStartLikeIt)
{
    // "Tinfo2=" sorts before "Tinfo=", so a look-up by sorted position alone misses "Tinfo".
    WindowPositionMemory memory;
    const TFormPosKeeper keeper;
    keeper.Save(memory, "Tinfo", {0, 1, 1, 1, 1}, true);
    keeper.Save(memory, "Tinfo2", {0, 2, 2, 2, 2}, true);
    keeper.Save(memory, "Tinfo", {0, 3, 3, 3, 3}, true);
    EXPECT_EQ(memory.Lines().size(), 2u);
    EXPECT_EQ(memory.Find("Tinfo")->left, 3);
    EXPECT_EQ(memory.Find("Tinfo2")->left, 2);
    EXPECT_FALSE(memory.Find("Tinf"));
}

TEST(WindowPositions, DisabledKeepersAndWindowsWithoutNativeWindowsAreNotRemembered)
{
    WindowPositionMemory memory;
    TFormPosKeeper off;
    off.SaveEnabled = false;
    off.Save(memory, "Tconfig", {0, 1, 2, 3, 4}, true);
    TFormPosKeeper().Save(memory, "Tinfo", {0, 1, 2, 3, 4}, false);
    EXPECT_TRUE(memory.Lines().empty());

    TFormPosKeeper().Save(memory, "Tconfig", {0, 1, 2, 3, 4}, true);
    EXPECT_FALSE(off.Restore(memory, "Tconfig", true).setPosition);
}
