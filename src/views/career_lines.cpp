#include "views/career_lines.h"

#include "app/app.h"
#include "app/form1.h"
#include "formats/run_line.h"
#include "platform/number.h"
#include "platform/work_files.h"

namespace pado {

Text AbbreviatedCareerLine(const Text& runLine)
{
    const Text plain = runline::WithoutName(runLine);
    const std::vector<Text> tokens = SplitAt(plain, U' ');
    // Lines that do not reach the class token have no abbreviated form; showing them as they stand
    // loses nothing the user might need.
    if (tokens.size() < 14)
        return plain;
    const std::size_t last = tokens.size() - 1;
    if (last > 15)
        return U"";

    const Text& finish = tokens[6];
    // Single-digit finishes get a leading space so they line up under two-digit ones.
    Text finishField = LeadingNumber(finish) >= 10 ? finish : U" " + Right(finish, 1);
    Text classField = ReplaceAll(tokens[13], U"オープン", U"Ｏp");

    Text out = Cols(plain, 1, 10) + tokens[3] + U" " + finishField + Cols(plain, 40, 54) + classField;
    if (last >= 14)
        out += U" " + tokens[last];
    return ShortenRaceWords(std::move(out));
}

void ShowCareerLines(Form1& f, bool abbreviated)
{
    const Lines rall = ReadRall(f.GetApp().FilePath(files::kPastRuns));
    if (!f.TakeHorseSelection())
        return;

    Text out;
    long count = 0;
    for (const Text& line : rall) {
        if (runline::HorseName(line) != f.selectedHorseName)
            continue;
        out += (abbreviated ? AbbreviatedCareerLine(line) : runline::WithoutName(line)) + U"\n";
        ++count;
    }
    if (!abbreviated)
        out += Text(29, U' ');
    out += TrimSpaces(f.selectedHorseName) + U"はＪＲＡで" + ToText(count) + U"走しています。\n";
    f.Text1.InsertAtCaret(out);
}

} // namespace pado
