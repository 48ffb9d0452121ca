#include <sys/stat.h>

#include "memo/form3.h"
#include "platform/errors.h"
#include "support/program_folder.h"
#include "support/write_failure.h"

using namespace pado;
using pado::testing::ProgramFolderTest;

namespace {

class MemoPad : public ProgramFolderTest {
protected:
    Form3& pad() { return app().form3(); }
    void Type(const Text& t)
    {
        app().Show(pad());
        pad().Text1.SetText(t);
    }
    std::string Cp932(const Lines& lines) { return EncodeTextLines(lines); }
};

bool FailEverything(const std::string&)
{
    return true;
}

} // namespace

TEST_F(MemoPad, EveryChangeOfTheTextSetsTheFlagButCaretMovesDoNot)
{
    EXPECT_FALSE(pad().Changed());
    pad().Text1.SetCaret(0);
    EXPECT_FALSE(pad().Changed());
    pad().Text1.InsertAtCaret(U"有馬記念\n");
    EXPECT_TRUE(pad().Changed());
}

TEST_F(MemoPad, ProgramWritesNeverSetTheFlagNorClearTheUsersOwn)
{
    pad().WriteByProgram([&] { pad().Text1.InsertAtCaret(U" 1 アドマイヤ(57)\n"); });
    EXPECT_FALSE(pad().Changed());
    // A later edit of the same text by the user still counts: the pad saw the program's text.
    pad().Text1.InsertAtCaret(U"◎");
    EXPECT_TRUE(pad().Changed());
    pad().WriteByProgram([&] { pad().Text1.SetText(U" 1 アドマイヤ(57)-"); });
    EXPECT_TRUE(pad().Changed());
    // Saved, then a program write that fails half-way: the user's next edit counts again.
    Type(U"メモ\n 1 アドマイヤ(57)");
    pad().Click("Image2");
    EXPECT_FALSE(pad().Changed());
    EXPECT_THROW(pad().WriteByProgram([] { throw UserError(U"書けません"); }), UserError);
    pad().Text1.InsertAtCaret(U"◎");
    EXPECT_TRUE(pad().Changed());
}

TEST_F(MemoPad, SavesTheTextWithOneLineBreakAndReportsTheName)
{
    Type(U"有馬記念　第５４回特別登録\n 1 アドマイヤ(57)");
    pad().Click("Image2");
    EXPECT_EQ(shell.LastText(), U"有馬記念.txt を保存しました。");
    EXPECT_EQ(shell.boxes.back().title, U"PADO");
    EXPECT_EQ(Bytes(Path("有馬記念.txt")), Cp932({ U"有馬記念　第５４回特別登録", U" 1 アドマイヤ(57)" }));
    EXPECT_FALSE(pad().Changed());
}

TEST_F(MemoPad, OverwriteAsksAndNoKeepsTheOldFileAndTheFlag)
{
    Write("メモ.txt", { U"古い" });
    Type(U"メモ\n新しい");
    shell.answers = { MsgAnswer::No };
    pad().Click("Image2");
    EXPECT_EQ(shell.LastText(), U"メモ.txt を上書きします。いいですか？");
    EXPECT_EQ(shell.boxes.back().title, U"確認");
    EXPECT_EQ(Bytes(Path("メモ.txt")), Cp932({ U"古い" }));
    EXPECT_TRUE(pad().Changed());

    shell.answers = { MsgAnswer::Yes };
    pad().Click("Image2");
    EXPECT_EQ(shell.LastText(), U"上書き保存しました。");
    EXPECT_EQ(Bytes(Path("メモ.txt")), Cp932({ U"メモ", U"新しい" }));
    EXPECT_FALSE(pad().Changed());
}

TEST_F(MemoPad, RefusedSavesWriteNothingAndKeepTheFlag)
{
    Write("R1.txt", { U"出馬表" });
    for (const Text& text : { Text(U"r1\n上書き禁止"), Text(U"../外\n"), Text(U"\n名前なし") }) {
        Type(text);
        pad().Click("Image2");
        EXPECT_TRUE(pad().Changed());
    }
    EXPECT_EQ(Bytes(Path("R1.txt")), Cp932({ U"出馬表" }));
    EXPECT_EQ(Entries(folder), std::vector<std::string> { "R1.txt" });
    EXPECT_EQ(Entries(root), std::vector<std::string> { "PADO" });
    EXPECT_EQ(shell.LastText(), U"メモのファイル名がありません。\n1行目にファイル名を入力してください。");

    // A character Shift-JIS cannot hold is named, and the old memo stays whole.
    Write("メモ.txt", { U"古い" });
    Type(U"メモ\n😀");
    shell.answers = { MsgAnswer::Yes };
    pad().Click("Image2");
    EXPECT_NE(shell.LastText().find(U"😀"), Text::npos);
    EXPECT_EQ(Bytes(Path("メモ.txt")), Cp932({ U"古い" }));

    // So does a write that fails, without leaving a temporary file behind.
    Type(U"メモ\n新しい");
    pado::testing::WriteFailure failing(FailEverything);
    shell.answers = { MsgAnswer::Yes };
    pad().Click("Image2");
    failing.Off();
    EXPECT_EQ(Bytes(Path("メモ.txt")), Cp932({ U"古い" }));
    EXPECT_EQ(Entries(folder), (std::vector<std::string> { "R1.txt", "メモ.txt" }));
    EXPECT_TRUE(pad().Changed());
}

TEST_F(MemoPad, OpenBringsTheSavedTextBackExactly)
{
    for (const Text& saved : { Text(U"メモ\n一\n\n二"), Text(U"メモ\n末尾に改行\n"), Text(U"メモ") }) {
        fs::DeleteFile(Path("メモ.txt"));
        Type(saved);
        pad().Click("Image2");
        shell.answers = { MsgAnswer::Yes };
        Type(U"メモ");
        pad().Click("Image1");
        EXPECT_EQ(pad().Text1.GetText(), saved);
        EXPECT_FALSE(pad().Changed());
    }
    // A file written elsewhere whose last line has no line break still opens with all its lines.
    fs::WriteBytesAtomic(Path("外部.txt"), "\x8a\x4f\x95\x94\r\nabc");
    Type(U"外部");
    shell.answers = { MsgAnswer::Yes };
    pad().Click("Image1");
    EXPECT_EQ(pad().Text1.GetText(), U"外部\nabc");
}

TEST_F(MemoPad, OpenAsksAboutUnsavedTextAndNoKeepsEverything)
{
    Write("メモ.txt", { U"メモ", U"保存済み" });
    Type(U"メモ\n書きかけ");
    shell.answers = { MsgAnswer::No };
    pad().Click("Image1");
    EXPECT_EQ(shell.LastText(), U"変更を保存していませんが、開きますか?");
    EXPECT_EQ(pad().Text1.GetText(), U"メモ\n書きかけ");
    EXPECT_TRUE(pad().Changed());

    // A name with no saved memo offers the saved ones; cancelling keeps the text.
    Type(U"ない名前\n書きかけ");
    pad().Click("Image1");
    ASSERT_EQ(shell.offered.size(), 1u);
    EXPECT_EQ(shell.offered[0], (std::vector<Text> { U"メモ" }));
    EXPECT_EQ(pad().Text1.GetText(), U"ない名前\n書きかけ");
}

TEST_F(MemoPad, WithoutANamedMemoTheUserPicksOneOfTheSavedMemos)
{
    // Only memos are offered: not the race files, not the work files, not other kinds of file.
    for (const char* file : { "有馬記念.txt", "メモ.txt", "R1.txt", "pado.txt", "F3.txt", "絵.png" })
        Write(file, { FromUtf8(file), U"本文" });
    fs::CreateFolder(Path("フォルダー.txt"));
    Type(U"");
    shell.picks = { U"有馬記念" };
    pad().Click("Image1");
    ASSERT_EQ(shell.offered.size(), 1u);
    EXPECT_EQ(shell.offered[0], (std::vector<Text> { U"メモ", U"有馬記念" }));
    EXPECT_EQ(pad().Text1.GetText(), U"有馬記念.txt\n本文");
    EXPECT_FALSE(pad().Changed());

    // Nothing saved at all: told so, without a list.
    for (const char* file : { "有馬記念.txt", "メモ.txt" })
        fs::DeleteFile(Path(file));
    Type(U"どこにもない\n");
    pad().Click("Image1");
    EXPECT_EQ(shell.offered.size(), 1u);
    EXPECT_EQ(shell.LastText(), U"保存されたファイル(どこにもない.txt)がありません。");
}

TEST_F(MemoPad, ClosingWithUnsavedTextAsksFirst)
{
    Type(U"メモ");
    shell.answers = { MsgAnswer::No };
    EXPECT_FALSE(app().Close(pad()));
    EXPECT_EQ(shell.LastText(), U"[メモ用紙]の内容を保存していませんが、閉じますか?");
    EXPECT_TRUE(pad().IsVisible());
    shell.answers = { MsgAnswer::Yes };
    EXPECT_TRUE(app().Close(pad()));
    EXPECT_FALSE(pad().IsVisible());

    // Saved text closes without a question.
    Type(U"メモ");
    pad().Click("Image2");
    std::size_t boxes = shell.boxes.size();
    EXPECT_TRUE(app().Close(pad()));
    EXPECT_EQ(shell.boxes.size(), boxes);
}

TEST_F(MemoPad, AMemoOfHalfWidthKatakanaOpensAgain)
{
    // Its CP932 bytes are valid UTF-8 as well; the program saved it, so it must open.
    const Text saved = U"ﾏｲﾅｰ\nﾀﾞｰﾄ ｺｰｽ";
    Type(saved);
    pad().Click("Image2");
    Type(U"ﾏｲﾅｰ");
    shell.answers = { MsgAnswer::Yes };
    pad().Click("Image1");
    EXPECT_EQ(pad().Text1.GetText(), saved);
}

TEST_F(MemoPad, AReadOnlyMemoIsRefusedBeforeTheOverwriteQuestion)
{
    Write("メモ.txt", { U"残す" });
    ASSERT_EQ(::chmod(Path("メモ.txt").c_str(), 0444), 0);
    Type(U"メモ\n新しい");
    shell.answers = { MsgAnswer::Yes };
    pad().Click("Image2");
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.LastText(),
        U"ファイル(メモ.txt)は書き込みが許可されていないため保存できません。\n"
        U"ファイルの書き込み権限(読み取り専用)を確認してください。");
    EXPECT_EQ(Bytes(Path("メモ.txt")), Cp932({ U"残す" }));
    EXPECT_TRUE(pad().Changed());
}

TEST_F(MemoPad, AMemoThatIsALinkKeepsReceivingTheSaves)
{
    const std::string target = root + "/本当のメモ.txt";
    WriteTextFile(target, { U"古い" });
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    std::filesystem::create_symlink(target, Path("メモ.txt"));
    Type(U"メモ\n新しい");
    shell.answers = { MsgAnswer::Yes };
    pad().Click("Image2");
    EXPECT_EQ(shell.LastText(), U"上書き保存しました。");
    EXPECT_TRUE(fs::IsLink(Path("メモ.txt")));
    EXPECT_EQ(Bytes(target), Cp932({ U"メモ", U"新しい" }));
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
