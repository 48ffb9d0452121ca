// Start-up and shut-down of the main window: the race workspace on disk and the start-up work files.
#include "app/app.h"
#include "app/form1.h"
#include "app/workspace_plan.h"
#include "assist/parameters.h"
#include "members/form2.h"
#include "memo/form3.h"
#include "platform/cp932.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "platform/work_files.h"
#include "timeorder/form4.h"

namespace pado {

namespace {

Text RaceNameRefusal(const Text& why)
{
    return U"レース名(R1.txtの1行目)はフォルダー名に使えません。\n" + why
        + U"\nレースのフォルダーは作成しませんでした。";
}

// The path as far as CP932 can hold it: nothing reads the record back, and a program folder whose
// path it cannot hold ("café") must still get its workspace.
Text Recordable(const Text& path)
{
    Text out;
    for (char32_t c : path)
        out += EncodeCp932(Text(1, c)).unencodable ? U'?' : c;
    return out;
}

bool IsWorkspace(const std::string& folder)
{
    return fs::IsFolder(folder) && !fs::IsLink(folder) && fs::IsFile(fs::Join(folder, files::kWorkspaceMark));
}

// Clears the way for the race folder: only a workspace this program built (a stale one of a run
// that did not shut down) is deleted; anything else of that name is the user's and stays.
void ClearRaceFolder(const std::string& raceFolder)
{
    if (!fs::Exists(raceFolder))
        return;
    if (!fs::IsFolder(raceFolder))
        throw UserError(RaceNameRefusal(U"同じ名前のファイルがあります。"));
    if (!IsWorkspace(raceFolder))
        throw UserError(U"レース名(R1.txtの1行目)と同じ名前のフォルダー(" + FromUtf8(raceFolder)
            + U")がありますが、PADO が作ったレースのフォルダーではありません。\n"
              U"中のファイルを守るため、このフォルダーは削除しませんでした。\n"
              U"フォルダーの名前を変えるか移動してから、起動し直してください。\n"
              U"レースのフォルダーは作成しませんでした。");
}

void MakeFolder(const std::string& path, const Text& name)
{
    if (!fs::CreateFolder(path))
        throw UserError(U"フォルダー(" + name + U")を作成できません。");
}

// Makes the folders of the plan; raceFolder is set as soon as the race folder exists, so a workspace
// left half-built by a failure is still the one shut-down removes. Throws UserError before touching
// the disk when the race name or the folder of that name forbids it.
void BuildWorkspace(App& app, const WorkspacePlan& plan, std::string& built)
{
    if (!plan.refusal.empty())
        throw UserError(RaceNameRefusal(plan.refusal));
    const std::string raceFolder = fs::Join(app.ProgramFolder(), ToUtf8(plan.raceName));
    ClearRaceFolder(raceFolder);

    WriteTextFile(app.FilePath(files::kRaceFolderRecord), { Recordable(FromUtf8(raceFolder)) });
    if (fs::Exists(raceFolder) && !fs::DeleteTree(raceFolder))
        throw UserError(U"フォルダー(" + FromUtf8(raceFolder) + U")を削除できません。");
    MakeFolder(raceFolder, FromUtf8(raceFolder));
    WriteTextFile(fs::Join(raceFolder, files::kWorkspaceMark),
        { U"PADO が作ったレースのフォルダーです。PADO の終了時に削除されます。" });
    built = raceFolder;

    for (const Text& horse : plan.entrants)
        MakeFolder(fs::Join(raceFolder, ToUtf8(horse)), horse);
    for (const PastRunFolder& run : plan.pastRuns) {
        std::string folder = fs::Join(fs::Join(raceFolder, ToUtf8(run.entrant)), ToUtf8(run.name));
        if (run.repeated)
            app.Message(U"次のファイルはダブって存在します。\n" + FromUtf8(folder));
        else
            MakeFolder(folder, run.name);
    }
}

} // namespace

void Form1::Form_Load()
{
    App& app = GetApp();
    raceFolder_.clear();
    RunGuarded([&] {
        const WorkspacePlan plan = PlanWorkspace(ReadTextFile(app.FilePath(files::kRaceCard)));
        BuildWorkspace(app, plan, raceFolder_);
        WriteTextFile(app.FilePath(files::kEntrantList), plan.entrants);
        if (!plan.problems.empty())
            app.Message(U"出馬表ファイル(R1.txt)に次の問題があります。\n" + Join(plan.problems, U"\n"));
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
    // Only the workspace this run built, and only while it still is one: never a folder put in its place.
    if (!raceFolder_.empty() && IsWorkspace(raceFolder_))
        fs::DeleteTree(raceFolder_);
    for (const char* name : { files::kPastRaceNames, files::kHolderRuns, files::kChallengerRuns, files::kEntrantList,
             files::kRaceFolderRecord })
        DeleteTextFile(app.FilePath(name));
}

} // namespace pado
