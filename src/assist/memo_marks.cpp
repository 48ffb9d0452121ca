#include "assist/memo_marks.h"

#include "app/app.h"
#include "assist/assist_run.h"
#include "memo/form3.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

namespace {

// The ranking rows start at the first line beginning " 1 "; a memo without one has no rows, and
// then no mark lands anywhere (not on a header line that happens to hold the name).
template <typename Mark> void MarkRows(MemoWork& memo, const Text& target, Mark mark)
{
    memo.marked = true;
    for (std::size_t i = FirstEntrantRow(memo.lines); i < memo.lines.size(); ++i) {
        Text& row = memo.lines[i];
        if (!row.empty() && ColsView(row, 4, 12) == target)
            mark(row);
    }
}

} // namespace

std::size_t FirstEntrantRow(const Lines& memo)
{
    std::size_t i = 0;
    while (i < memo.size() && ColsView(memo[i], 1, 3) != U" 1 ")
        ++i;
    return i;
}

MemoWork SaveMemoToWorkFile(AssistRun& run)
{
    return MemoWork { SplitLines(run.app.form3().Text1.GetText()), false };
}

void MarkEntrantDash(MemoWork& memo, const Text& otherEntrant)
{
    MarkRows(memo, otherEntrant, [](Text& row) {
        if (!EndsWith(row, U"-"))
            row += U"-";
    });
}

void MarkCurrentEntrant(MemoWork& memo, const Text& currentEntrant, const Text& markText)
{
    MarkRows(memo, currentEntrant, [&](Text& row) { row += markText; });
}

void WriteMemoWorkFile(AssistRun& run, const MemoWork& memo)
{
    WriteTextFile(run.app.FilePath(files::kMarkedMemo), memo.lines);
    if (memo.marked)
        DeleteTextFile(run.app.FilePath(files::kMarkingCopy));
}

void LoadMemoFromWorkFile(AssistRun& run, const MemoWork& memo)
{
    WriteMemoWorkFile(run, memo);
    Form3& pad = run.app.form3();
    pad.WriteByProgram([&] { pad.Text1.SetText(Join(memo.lines, U"\n")); });
}

} // namespace pado
