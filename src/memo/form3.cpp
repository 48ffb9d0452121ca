#include "memo/form3.h"

#include "app/app.h"
#include "memo/memo_name.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"

namespace pado {

Form3::Form3(App& app)
    : Form(app, "Form3", U"メモ用紙")
    , Image1("Image1",
          U"保存したメモを開きます。1行目にメモの名前を書いて押すと、その名前のメモを開きます。"
          U"1行目が保存したメモの名前でないときは、保存したメモの一覧から選べます。",
          112, 111, 0.2f)
    , Image2("Image2",
          U"表示中の内容を保存します。1行目がファイル名になります（1行目が 有馬記念 なら 有馬記念.txt）。"
          U"保存先はプログラムのフォルダーです。",
          114, 113, 0.2f)
{
    AddPane("Text1", Text1);
    Text1.Subscribe([this] { Text1_Change(); });
    AddImage(Image1, [this] { Image1_Click(); });
    AddImage(Image2, [this] { Image2_Click(); });
}

void Form3::Text1_Change()
{
    if (Text1.GetText() == seen_)
        return;
    seen_ = Text1.GetText();
    if (!programWriting_)
        changed_ = true;
}

void Form3::WriteByProgram(const std::function<void()>& write)
{
    const bool outer = programWriting_;
    programWriting_ = true;
    try {
        write();
    } catch (...) {
        programWriting_ = outer;
        throw;
    }
    programWriting_ = outer;
}

std::string Form3::MemoPath(Text& name)
{
    if (name.empty())
        name = MemoName(Text1.GetText());
    if (Text why = MemoNameProblem(name); !why.empty())
        throw UserError(why);
    std::string path = GetApp().FilePath(ToUtf8(name + U".txt"));
    if (fs::IsFolder(path))
        throw UserError(
            U"ファイル名「" + name + U"」は使えません。\n同じ名前(" + name + U".txt)のフォルダーがあります。");
    return path;
}

void Form3::Image2_Click()
{
    App& app = GetApp();
    Text name;
    const std::string path = MemoPath(name);
    // The file holds the whole text and then one line break.
    const Lines lines = SplitLines(Text1.GetText());
    // Asked before the overwrite question, which would otherwise promise a save that cannot happen.
    if (fs::IsWriteProtected(path))
        throw UserError(WriteProtectedMessage(path));
    if (fs::Exists(path)) {
        if (!app.Confirm(name + U".txt を上書きします。いいですか？"))
            return;
        WriteTextFile(path, lines, true);
        app.Message(U"上書き保存しました。");
    } else {
        WriteTextFile(path, lines, true);
        app.Message(name + U".txt" + U" を保存しました。");
    }
    changed_ = false;
}

std::vector<Text> Form3::SavedMemoNames()
{
    std::vector<Text> names;
    for (const std::string& file : fs::FilesIn(GetApp().ProgramFolder())) {
        const Text name = FromUtf8(file);
        // A memo is saved as NAME.txt; the program's own files are not memos.
        if (name.size() > 4 && EndsWith(name, U".txt") && MemoNameProblem(name.substr(0, name.size() - 4)).empty())
            names.push_back(name.substr(0, name.size() - 4));
    }
    return names;
}

void Form3::Image1_Click()
{
    App& app = GetApp();
    Text name = MemoName(Text1.GetText());
    std::string path;
    if (!name.empty())
        path = MemoPath(name);
    if (name.empty() || !fs::IsFile(path)) {
        // The first line names no saved memo: the user may pick one of the saved memos instead.
        const std::vector<Text> saved = SavedMemoNames();
        if (saved.empty()) {
            app.Message(name.empty() ? Text(U"保存されたメモがありません。")
                                     : U"保存されたファイル(" + name + U".txt)がありません。");
            return;
        }
        const Text prompt = name.empty()
            ? Text(U"開くメモを選んでください。")
            : U"保存されたファイル(" + name + U".txt)がありません。\n開くメモを選んでください。";
        const std::optional<Text> picked = app.shell.PickItem(U"メモを開く", prompt, saved);
        if (!picked)
            return;
        name = *picked;
        path = GetApp().FilePath(ToUtf8(name + U".txt"));
        if (!MemoNameProblem(name).empty() || !fs::IsFile(path)) {
            app.Message(U"保存されたファイル(" + name + U".txt)がありません。");
            return;
        }
    }
    // Read before asking, so a file that cannot be read never costs the current text.
    const Lines lines = ReadSavedTextFile(path);
    if (changed_ && !app.Confirm(U"変更を保存していませんが、開きますか?"))
        return;
    // The saving line break ends the last line; without it the text comes back exactly as saved.
    Text1.SetText(Join(lines, U"\n"));
    Text1.SetCaret(0);
    changed_ = false;
}

bool Form3::Form_QueryUnload()
{
    if (!changed_)
        return true;
    // The question is about this pad's text, so the pad shows it while asking.
    GetApp().Show(*this);
    return GetApp().Confirm(U"[メモ用紙]の内容を保存していませんが、閉じますか?");
}

void Form3::Form_Unload()
{
    // A closed pad is gone with its text; shown again it starts empty and unchanged.
    Text1.Clear();
    changed_ = false;
}

} // namespace pado
