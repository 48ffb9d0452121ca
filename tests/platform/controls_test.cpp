#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/fs.h"
#include "support/temp_dir.h"

using namespace pado;

TEST(TextPane, InsertReplacesTheSelectionAndLeavesTheCaretAfterIt)
{
    TextPane p;
    int changes = 0;
    p.Subscribe([&] { ++changes; });
    p.SetText(U"abcdef");
    p.SetSelection(1, 2);
    p.InsertAtCaret(U"XY\n");
    EXPECT_EQ(p.GetText(), U"aXY\ndef");
    EXPECT_EQ(p.Caret(), 4u);
    p.SetCaret(0);
    p.InsertAtCaret(U">");
    EXPECT_EQ(p.GetText(), U">aXY\ndef");
    p.SetCaret(999);
    EXPECT_EQ(p.Caret(), p.GetText().size());
    EXPECT_GE(changes, 5);
}

TEST(ListBox, SortedListKeepsTextOrder)
{
    ListBox l(true);
    for (auto s : { U"12 ウマ", U" 3 アア", U" 1 イイ" })
        l.AddItem(s);
    EXPECT_EQ(l.Items(), (Lines { U" 1 イイ", U" 3 アア", U"12 ウマ" }));
}

TEST(DirList, ListsTheChainThenTheSubFoldersAndOpensTheHighlightedOne)
{
    TempDir dir;
    fs::CreateFolder(dir.File("race"));
    fs::CreateFolder(dir.File("race/ウマB"));
    fs::CreateFolder(dir.File("race/ウマA"));
    DirList d;
    d.SetPath(dir.File("race"));
    EXPECT_EQ(d.Entries().front(), "/");
    EXPECT_EQ(d.Entries()[d.ChainLength() - 1], dir.File("race"));
    EXPECT_EQ(d.SelectedFolder(), dir.File("race")); // nothing highlighted yet: the open folder
    ASSERT_EQ(d.Entries().size(), d.ChainLength() + 2);
    EXPECT_EQ(d.Entries()[d.ChainLength()], dir.File("race/ウマA"));
    d.Highlight(static_cast<int>(d.ChainLength()) - 1);
    d.Open(); // Enter on the open folder's own entry keeps it open
    EXPECT_EQ(d.Path(), dir.File("race"));
    d.Highlight(static_cast<int>(d.ChainLength()) + 1);
    d.Open();
    EXPECT_EQ(d.Path(), dir.File("race/ウマB"));
    d.Highlight(999); // out of range: ignored
    EXPECT_EQ(d.SelectedFolder(), dir.File("race/ウマB"));
}

TEST(WaitTimer, WaitsAtLeastTheRequestedTimeAndPumpsEvents)
{
    SteppingClock clock(0.01);
    int pumps = 0;
    double start = clock.Now();
    double end = WaitTimer(
        clock, [&] { ++pumps; }, 0.2f);
    EXPECT_GT(end - start, 0.2);
    EXPECT_GE(pumps, 15);
    // A zero wait still returns.
    WaitTimer(clock, nullptr, 0.0f);
}
