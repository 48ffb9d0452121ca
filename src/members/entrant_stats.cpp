#include "members/entrant_stats.h"

#include "app/app.h"
#include "formats/race_card.h"
#include "formats/run_line.h"
#include "members/form2.h"
#include "platform/number.h"
#include "platform/work_files.h"

namespace pado {

void RunEntrantStatsPass(Form2& f, EntrantStatsView& view)
{
    App& app = f.GetApp();
    CardCursor card(ReadRaceCard(app.FilePath(files::kRaceCard)));
    const Lines rall = ReadRall(app.FilePath(files::kPastRuns));

    Text pane;
    Text raceYear;
    CardCursor::Section head = card.ReadSection();
    for (const Text& line : head.lines) {
        if (cardhead::IsYearLine(line))
            raceYear = cardhead::YearText(line);
        view.ReadHeadLine(line);
        pane += line + U"\n";
    }
    Text line = card.ReadLine();
    pane += view.ColumnHeader(head.terminator, line) + U"\n";

    int number = 1;
    for (const Text& cardLine : card.ReadSectionFrom(line).lines) {
        const Text numberText = entrant::Number(number++);
        if (entrant::IsSeparator(cardLine)) {
            pane += numberText + cardLine + U"\n";
            continue;
        }
        const Text entrantText = entrant::EntrantText(cardLine);
        const Text key = Left(entrantText, 9);
        // An entrant without runs shows blanks here rather than another horse's values.
        Text sex = U" ";
        Text age = U" ";
        for (const Text& run : rall) {
            if (key.empty() || runline::HorseName(run) != key)
                continue;
            if (int column = FinishColumn(run); column >= 0)
                view.CountRun(run, column);
            sex = PadRight(runline::Sex(run), 1);
            // A run line whose source gave no age carries a filler there, not a number to count on from.
            const Text runAge = runline::Age(run);
            age = !runAge.empty() && runAge[0] >= U'0' && runAge[0] <= U'9'
                ? AgeCell(LeadingInt(runAge) + LeadingInt(raceYear) - LeadingInt(Cols(run, 1, 2)))
                : Text(U" ");
        }
        pane += view.EntrantLine(numberText + entrantText + sex + age, cardLine) + U"\n";
    }
    f.Text1.SetText(pane);
    f.Text1.SetCaret(0);
}

int FinishColumn(const Text& run)
{
    long position = LeadingInt(runline::FinishField(run));
    if (position <= 0)
        return -1;
    return position > 3 ? 3 : static_cast<int>(position - 1);
}

int SurfaceIndex(const Text& surface)
{
    if (surface == U"芝")
        return 0;
    if (surface == U"ダ")
        return 1;
    if (surface == U"障")
        return 2;
    return -1;
}

Text CountCell(int n, bool outColumn)
{
    if (outColumn && n >= 100)
        return U"99";
    Text t = ToText(n);
    return t.size() < 2 ? U" " + t : t;
}

Text CountGroup(const Counts& c)
{
    return CountCell(c[0], false) + U" " + CountCell(c[1], false) + U" " + CountCell(c[2], false) + U" "
        + CountCell(c[3], true);
}

Text ThreeGroups(const Counts& g1, const Counts& g2, const Counts& g3)
{
    return U"  " + CountGroup(g1) + U"  " + CountGroup(g2) + U"  " + CountGroup(g3) + U" ";
}

Text AgeCell(long age)
{
    Text t = ToText(age);
    return t.size() == 2 ? Left(t, 1) : t;
}

} // namespace pado
