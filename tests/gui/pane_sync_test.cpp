#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

#include "gui/pane_view.h"
#include "gui/qt_text.h"

namespace pado::gui {
namespace {

// The pane's text as the core sees it, straight from the widget.
Text Shown(const PaneView& v)
{
    return FromQString(v.toPlainText());
}

void PlaceCaret(PaneView& v, int pos, int anchor = -1)
{
    QTextCursor c = v.textCursor();
    c.setPosition(anchor < 0 ? pos : anchor);
    if (anchor >= 0)
        c.setPosition(pos, QTextCursor::KeepAnchor);
    v.setTextCursor(c);
}

TEST(PaneView, ShowsProgramChangesOnceTheEventIsOver)
{
    TextPane model;
    model.SetText(U"一行目\n");
    PaneView view(model);
    EXPECT_EQ(Shown(view), U"一行目\n");

    // A view writing many lines one by one: the widget catches up when events are processed.
    for (int i = 0; i < 200; ++i)
        model.InsertAtCaret(U"行 " + ToText(static_cast<long long>(i)) + U"\n");
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(view), model.GetText());
    EXPECT_EQ(view.document()->blockCount(), 202);

    model.Clear();
    model.InsertAtCaret(U"馬名     \n 1 アドマイヤテスト ");
    model.SetCaret(0);
    view.SyncFromModel();
    EXPECT_EQ(Shown(view), model.GetText());
    EXPECT_EQ(view.textCursor().position(), 0);
}

TEST(PaneView, AViewInsertsWhereTheUserPutTheCaret)
{
    TextPane model;
    model.SetText(U"AAA\nBBB\nCCC");
    PaneView view(model);
    // The user clicks after "BBB" ...
    PlaceCaret(view, 7);
    EXPECT_EQ(model.Caret(), 7u);
    // ... and a view writes there.
    model.InsertAtCaret(U"＜挿入＞");
    view.SyncFromModel();
    EXPECT_EQ(model.GetText(), U"AAA\nBBB＜挿入＞\nCCC");
    EXPECT_EQ(Shown(view), model.GetText());
    EXPECT_EQ(view.textCursor().position(), 11);

    // A selection made in the widget is what the view replaces.
    PlaceCaret(view, 3, 0);
    EXPECT_EQ(model.SelectionStart(), 0u);
    EXPECT_EQ(model.SelectionLength(), 3u);
    model.InsertAtCaret(U"Z");
    view.SyncFromModel();
    EXPECT_EQ(Shown(view), U"Z\nBBB＜挿入＞\nCCC");
}

// A listing written by the program is read from its first line, though the caret ends after it: at
// start-up (the race name on top), and when a view inserts in the middle of a long pane.
TEST(PaneView, ProgramOutputIsShownFromItsFirstLine)
{
    TextPane model;
    PaneView view(model);
    view.resize(400, 200);
    view.show();
    Text listing;
    for (int i = 0; i < 300; ++i)
        listing += U"行 " + ToText(static_cast<long long>(i)) + U"\n";
    model.SetText(U"レース名\n" + listing);
    view.SyncFromModel();
    EXPECT_EQ(view.textCursor().position(), static_cast<int>(model.GetText().size()));
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);

    // The user scrolls down and clicks on line 100; a view writes 50 lines there.
    const int at = view.document()->findBlockByNumber(100).position();
    view.verticalScrollBar()->setValue(95);
    PlaceCaret(view, at);
    Text inserted;
    for (int i = 0; i < 50; ++i)
        inserted += U"挿入 " + ToText(static_cast<long long>(i)) + U"\n";
    model.InsertAtCaret(inserted);
    view.SyncFromModel();
    // The caret went to the output's end; the pane stays where the output's first line is in view.
    EXPECT_EQ(view.textCursor().blockNumber(), 150);
    EXPECT_EQ(view.verticalScrollBar()->value(), 95);
    // When the output starts above what is shown, the pane scrolls up to it.
    view.verticalScrollBar()->setValue(250);
    model.SetSelection(0, 0);
    model.InsertAtCaret(U"見出し\n");
    view.SyncFromModel();
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
    // A view that empties the pane and writes a listing beginning as the last one did shows it from the top.
    view.verticalScrollBar()->setValue(200);
    model.Clear();
    model.InsertAtCaret(U"レース名\n" + listing + U"追加\n");
    QCoreApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
    // Typing by the user never scrolls the pane by itself.
    view.verticalScrollBar()->setValue(120);
    PlaceCaret(view, view.document()->findBlockByNumber(123).position());
    QTest::keyClicks(&view, "x");
    EXPECT_EQ(view.verticalScrollBar()->value(), 120);
}

// Characters beyond the 16-bit range take two units in Qt but one in the core: positions must
// still agree on both sides of such a character.
TEST(PaneView, CaretPositionsCountCharactersNotUtf16Units)
{
    TextPane model;
    model.SetText(U"𠮷野家\n牛丼");
    PaneView view(model);
    PlaceCaret(view, 4); // after "𠮷野家" = 2 + 1 + 1 units
    EXPECT_EQ(model.Caret(), 3u);
    model.InsertAtCaret(U"！");
    model.SetSelection(5, 1); // "牛"
    view.SyncFromModel();
    EXPECT_EQ(Shown(view), U"𠮷野家！\n牛丼");
    EXPECT_EQ(view.textCursor().selectedText(), QStringLiteral("牛"));
}

TEST(PaneView, TypingReachesTheModelAsAnEditWithoutEchoingBack)
{
    TextPane model;
    model.SetText(U"有馬記念\n");
    PaneView view(model);
    int notifications = 0;
    Text lastSeen;
    model.Subscribe([&] {
        ++notifications;
        lastSeen = model.GetText();
    });
    QSignalSpy widgetChanges(&view, &QPlainTextEdit::textChanged);

    PlaceCaret(view, 4);
    QTest::keyClicks(&view, QStringLiteral("ABC"));
    EXPECT_EQ(model.GetText(), U"有馬記念ABC\n");
    EXPECT_EQ(lastSeen, model.GetText());
    EXPECT_EQ(model.Caret(), 7u);
    // Each keystroke changed the widget once; the model's answer did not change it again.
    EXPECT_EQ(widgetChanges.count(), 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(widgetChanges.count(), 3);

    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(model.GetText(), U"有馬記念AB\n\n");
    EXPECT_EQ(Shown(view), model.GetText());
    EXPECT_GT(notifications, 0);
}

// A program change still waiting to be shown is never overwritten by an older widget text.
TEST(PaneView, AProgramChangeWinsOverAStaleWidget)
{
    TextPane model;
    model.SetText(U"old");
    PaneView view(model);
    model.SetText(U"new text");
    model.SetCaret(8);
    QTest::keyClicks(&view, QStringLiteral("!"));
    EXPECT_EQ(model.GetText(), U"new text!");
    EXPECT_EQ(Shown(view), U"new text!");
}

TEST(PaneView, NoWrapBothScrollBarsAndThePaneFont)
{
    TextPane model;
    PaneView view(model);
    EXPECT_EQ(view.lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_NEAR(view.font().pointSizeF(), 11.25, 0.01);
}

} // namespace
} // namespace pado::gui
