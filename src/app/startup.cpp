// Start-up and shut-down of the main window: the race workspace on disk and the start-up work files.
#include <set>

#include "app/app.h"
#include "app/form1.h"
#include "assist/parameters.h"
#include "members/form2.h"
#include "memo/form3.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "timeorder/form4.h"

namespace pado {

namespace {

const Text kMarker = U"◆-◆-◆";

// Why a name taken from a race file cannot name a folder inside the program folder; empty when it can.
// The race folder is deleted with everything in it, so a name that reaches outside it ("..", "/")
// or that names something else must never get that far.
Text FolderNameProblem(const Text& name, const std::string& parent)
{
    if (name.empty())
        return U"名前が空です。";
    if (name == U"." || name == U"..")
        return U"「.」「..」は使えません。";
    for (char32_t c : name) {
        if (c == U'/')
            return U"「/」を含んでいます。";
        if (c < 0x20 || c == 0x7F)
            return U"制御文字を含んでいます。";
    }
    std::string utf8 = ToUtf8(name);
    if (utf8.size() > 255)
        return U"名前が長すぎます。";
    std::string path = fs::Join(parent, utf8);
    if (fs::Exists(path) && !fs::IsFolder(path))
        return U"同じ名前のファイルがあります。";
    return {};
}

Text LineNo(std::size_t index)
{
    return U"R1.txt " + ToText(static_cast<long long>(index + 1)) + U"行目: ";
}

bool IsEntrantLine(const Text& line)
{
    if (IsBlank(line))
        return false;
    unsigned code = Cp932Code(line[0]);
    return code >= 0x8340 && code <= 0x8394;
}

} // namespace

void Form1::Form_Load()
{
    App& app = GetApp();
    raceFolder_.clear();
    RunGuarded([&] {
        const std::string r1 = app.FilePath("R1.txt");
        Lines card = ReadTextFile(r1);
        const Text raceName = card.empty() ? Text {} : card[0];
        if (Text why = FolderNameProblem(raceName, app.ProgramFolder()); !why.empty())
            throw UserError(U"レース名(R1.txtの1行目)はフォルダー名に使えません。\n" + why
                + U"\nレースのフォルダーは作成しませんでした。");
        const std::string raceFolder = fs::Join(app.ProgramFolder(), ToUtf8(raceName));

        WriteTextFile(app.FilePath("nowfolder.txt"), { FromUtf8(raceFolder) });
        if (fs::Exists(raceFolder) && !fs::DeleteTree(raceFolder))
            throw UserError(U"フォルダー(" + FromUtf8(raceFolder) + U")を削除できません。");
        if (!fs::CreateFolder(raceFolder))
            throw UserError(U"フォルダー(" + FromUtf8(raceFolder) + U")を作成できません。");
        raceFolder_ = raceFolder;

        Lines problems;
        Lines entrants;
        std::set<Text> entrantSet;
        std::size_t i = 1;
        // Header block, up to and including its blank line.
        while (i < card.size() && !IsBlank(card[i]))
            ++i;
        if (i >= card.size()) {
            problems.push_back(U"R1.txt: レースの見出し部を終える空行がありません。");
        } else {
            // Entrant section and run block, up to the marker line.
            bool marker = false;
            for (++i; i < card.size(); ++i) {
                const Text& line = card[i];
                if (StartsWith(line, kMarker)) {
                    marker = true;
                    break;
                }
                if (!IsEntrantLine(line))
                    continue;
                Text horse = PadRight(Left(line, 9), 9);
                if (entrantSet.count(horse)) {
                    problems.push_back(LineNo(i) + U"馬名「" + TrimSpaces(horse) + U"」が重複しています。");
                    continue;
                }
                if (Text why = FolderNameProblem(horse, raceFolder); !why.empty()) {
                    problems.push_back(LineNo(i) + U"馬名「" + horse + U"」はフォルダー名に使えません。" + why);
                    continue;
                }
                if (!fs::CreateFolder(fs::Join(raceFolder, ToUtf8(horse))))
                    throw UserError(U"フォルダー(" + horse + U")を作成できません。");
                entrantSet.insert(horse);
                entrants.push_back(horse);
            }
            if (!marker)
                problems.push_back(U"R1.txt: 出走馬の後に「◆-◆-◆」の区切り行がありません。");
            // Past-run section: after the marker line and its heading line, to the next marker line.
            for (i += 2; marker && i < card.size(); ++i) {
                const Text& line = card[i];
                if (StartsWith(line, kMarker))
                    break;
                if (line.empty() || LeadingNumber(Left(line, 6)) <= 20000)
                    continue;
                Text horse = Cols(line, 48, 56);
                if (!entrantSet.count(horse)) {
                    problems.push_back(LineNo(i) + U"出走馬にない馬「" + TrimSpaces(horse) + U"」の過去走です。");
                    continue;
                }
                Text name = Left(line, 29) + U"." + Mid(line, 31);
                std::string entrantFolder = fs::Join(raceFolder, ToUtf8(horse));
                if (Text why = FolderNameProblem(name, entrantFolder); !why.empty()) {
                    problems.push_back(LineNo(i) + U"過去走のフォルダー名に使えません。" + why);
                    continue;
                }
                std::string folder = fs::Join(entrantFolder, ToUtf8(name));
                if (fs::Exists(folder)) {
                    app.Message(U"次のファイルはダブって存在します。\n" + FromUtf8(folder));
                    fs::DeleteTree(folder);
                }
                if (!fs::CreateFolder(folder))
                    throw UserError(U"フォルダー(" + name + U")を作成できません。");
            }
        }
        WriteTextFile(app.FilePath("R11.txt"), entrants);
        if (!problems.empty())
            app.Message(U"出馬表ファイル(R1.txt)に次の問題があります。\n" + Join(problems, U"\n"));
    });

    app.Show(app.form2());
    app.Show(app.form4());
    app.Show(app.form2());
    app.Show(app.form3());
    Dir1.SetPath(raceFolder_.empty() ? app.ProgramFolder() : raceFolder_);
    RunGuarded([&] { LoadAssistParameters(app); });
}

void Form1::Form_Unload()
{
    App& app = GetApp();
    if (!raceFolder_.empty())
        fs::DeleteTree(raceFolder_);
    for (const char* name : { "R10.txt", "himoto.txt", "hisaki.txt", "R11.txt", "nowfolder.txt" })
        DeleteTextFile(app.FilePath(name));
}

} // namespace pado
