#include "app/workspace_plan.h"

#include <set>
#include <utility>

#include "platform/cp932.h"
#include "platform/number.h"
#include "platform/work_files.h"

namespace pado {

namespace {

const Text kMarker = U"◆-◆-◆";

Text LineNo(std::size_t index)
{
    return FromUtf8(files::kRaceCard) + U" " + ToText(static_cast<long long>(index + 1)) + U"行目: ";
}

bool IsEntrantLine(const Text& line)
{
    if (IsBlank(line))
        return false;
    unsigned code = Cp932Code(line[0]);
    return code >= 0x8340 && code <= 0x8394;
}

} // namespace

// The race folder is deleted with everything in it, so a name that reaches outside it ("..", "/")
// must never get that far.
Text FolderNameProblem(const Text& name)
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
    if (ToUtf8(name).size() > 255)
        return U"名前が長すぎます。";
    return {};
}

WorkspacePlan PlanWorkspace(const Lines& card)
{
    WorkspacePlan plan;
    plan.raceName = card.empty() ? Text {} : card[0];
    plan.refusal = FolderNameProblem(plan.raceName);
    // A race folder of a work file's name would be read, written or deleted as that file by a later press.
    if (auto file = files::ProgramFileNamed(ToUtf8(plan.raceName)); plan.refusal.empty() && !file.empty())
        plan.refusal = U"PADO が使うファイル(" + FromUtf8(file) + U")と同じ名前です。";
    if (!plan.refusal.empty())
        return plan;

    std::set<Text> entrantSet;
    std::set<std::pair<Text, Text>> runSet;
    std::size_t i = 1;
    // Header block, up to and including its blank line.
    while (i < card.size() && !IsBlank(card[i]))
        ++i;
    if (i >= card.size()) {
        plan.problems.push_back(FromUtf8(files::kRaceCard) + U": レースの見出し部を終える空行がありません。");
        return plan;
    }
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
            plan.problems.push_back(LineNo(i) + U"馬名「" + TrimSpaces(horse) + U"」が重複しています。");
            continue;
        }
        if (Text why = FolderNameProblem(horse); !why.empty()) {
            plan.problems.push_back(LineNo(i) + U"馬名「" + horse + U"」はフォルダー名に使えません。" + why);
            continue;
        }
        entrantSet.insert(horse);
        plan.entrants.push_back(horse);
    }
    if (!marker)
        plan.problems.push_back(FromUtf8(files::kRaceCard) + U": 出走馬の後に「◆-◆-◆」の区切り行がありません。");
    // Past-run section: after the marker line and its heading line, to the next marker line.
    for (i += 2; marker && i < card.size(); ++i) {
        const Text& line = card[i];
        if (StartsWith(line, kMarker))
            break;
        if (line.empty() || LeadingNumber(Left(line, 6)) <= 20000)
            continue;
        Text horse = Cols(line, 48, 56);
        if (!entrantSet.count(horse)) {
            plan.problems.push_back(LineNo(i) + U"出走馬にない馬「" + TrimSpaces(horse) + U"」の過去走です。");
            continue;
        }
        Text name = Left(line, 29) + U"." + Mid(line, 31);
        if (Text why = FolderNameProblem(name); !why.empty()) {
            plan.problems.push_back(LineNo(i) + U"過去走のフォルダー名に使えません。" + why);
            continue;
        }
        bool repeated = !runSet.insert({ horse, name }).second;
        plan.pastRuns.push_back({ horse, name, repeated });
    }
    return plan;
}

} // namespace pado
