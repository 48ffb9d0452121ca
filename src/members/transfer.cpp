#include "members/transfer.h"

#include <iterator>
#include <vector>

#include "app/app.h"
#include "members/form2.h"
#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/work_files.h"

namespace pado {

void TransferRaceFiles(Form2& f)
{
    App& app = f.GetApp();
    const std::string root = app.StagingFolder();
    // Without the staging folder the picker would have nothing to offer; say where it belongs.
    if (!fs::IsFolder(root))
        throw UserError(U"転送元のフォルダー(" + FromUtf8(root)
            + U")がありません。\n"
              U"レースのフォルダーを置いてから、もう一度押してください。");
    const auto chosen = app.shell.BrowseForFolder(U"転送するレースのフォルダーを選択して下さい", root);
    if (!chosen)
        return;
    TransferRaceFolder(f, *chosen);
}

void TransferRaceFolder(Form2& f, const std::string& folder)
{
    App& app = f.GetApp();
    static const char* const kFiles[] = { files::kRaceResults, files::kRaceCard, files::kPastRuns };
    for (const char* name : kFiles)
        if (!fs::IsFile(fs::Join(folder, name)))
            throw UserError(U"必要なファイル(pado.txt/R1.txt/Rall.txt)が\n存在しないようです。転送を中止します。");
    std::vector<const char*> names(std::begin(kFiles), std::end(kFiles));
    // The jockey statistics belong to the race they were built with; a folder that has its own replaces
    // the previous race's, one without keeps the file that is there.
    if (fs::IsFile(fs::Join(folder, files::kJockeys)))
        names.push_back(files::kJockeys);
    Text copied;
    for (const char* name : names) {
        // Each copy goes to a temporary name first, so a failure never leaves a half-written file.
        if (!fs::CopyFileAtomic(fs::Join(folder, name), app.FilePath(name))) {
            Text message = U"ファイル(" + FromUtf8(name) + U")をコピーできませんでした。転送を中止します。";
            if (!copied.empty())
                message += U"\n(" + copied + U" はコピー済みです。)";
            throw UserError(message);
        }
        copied += (copied.empty() ? U"" : U"/") + FromUtf8(name);
    }
    const Text done = names.size() == 4 ? U"４ファイルコピーしました。" : U"３ファイルコピーしました。";
    const Text later = done + U"PADOを起動し直すと反映されます。";
    if (app.Confirm(
            done + U"\n今すぐ読み込み直しますか？\n（はい: 今すぐ読み込み直す／いいえ: 次に起動したときに反映）"))
        app.AskRestart(later);
    else
        app.Message(later);
}

} // namespace pado
