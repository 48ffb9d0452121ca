#include "passing/run_corners.h"

#include "formats/pado_db.h"
#include "passing/corner_markers.h"
#include "platform/number.h"

namespace pado {

namespace {

// The next line of the record, or nothing when the file ends or the next race's header comes.
const Text* NextInRecord(RecordCursor& cursor)
{
    const Text* line = cursor.Next();
    return line && !RaceDatabase::IsHeader(*line) ? line : nullptr;
}

Text OrderText(const Text& cornerLine)
{
    const long gap = InStr(cornerLine, U"  ");
    return Mid(cornerLine, gap + 2); // no gap: from the second character
}

bool IsRunnerLine(const Text& line)
{
    return Cols(line, 24, 25) == U"kg";
}

} // namespace

std::optional<RunCorners> ReadRunCorners(const RaceDatabase& db, const Text& runKeyText, const Text& horseName)
{
    const auto body = db.FindBody(runKeyText);
    if (!body)
        return std::nullopt;
    RecordCursor cursor(db, *body);

    const Text* line = nullptr;
    do {
        line = NextInRecord(cursor);
    } while (line && Left(*line, 2) != U"上り");
    if (!line)
        return std::nullopt;
    line = NextInRecord(cursor);
    if (!line || Left(*line, 4) != U"コーナー")
        return std::nullopt;

    line = NextInRecord(cursor);
    if (!line)
        return std::nullopt;
    RunCorners run;
    if (CharAt(*line, 1) == U'1')
        run.firstCorner = 1;
    else if (CharAt(*line, 1) == U'2')
        run.firstCorner = 2;
    for (int corner = run.firstCorner; corner <= 4; ++corner) {
        run.orderTexts[corner] = OrderText(*line);
        line = NextInRecord(cursor); // after the last corner: the separating line, passed over
        if (!line)
            return std::nullopt;
    }

    // The horse's number stops the search for it; the runners are counted on to the end line.
    // A record cut off after the horse's line still tells where the horse ran.
    for (;;) {
        line = NextInRecord(cursor);
        if (!line)
            return run.horseNumberKnown ? std::optional<RunCorners>(run) : std::nullopt;
        if (Left(*line, 3) == U"---")
            break;
        if (IsRunnerLine(*line))
            ++run.runnerCount;
        if (!run.horseNumberKnown && Cols(*line, 7, 15) == horseName) {
            run.horseNumber = LeadingNumber(Cols(*line, 4, 5));
            run.horseNumberKnown = true;
        }
    }
    return run;
}

Text PassingMarkers(const RaceDatabase& db, const Text& runKeyText, const Text& horseName)
{
    const auto run = ReadRunCorners(db, runKeyText, horseName);
    if (!run)
        return {};
    Text pad(static_cast<std::size_t>(6 * (run->firstCorner - 1)), U' ');
    Text markers;
    Text marker;
    for (int corner = run->firstCorner; corner <= 4; ++corner) {
        marker = NextMarker(run->orderTexts[corner], run->horseNumber, run->horseNumberKnown, marker);
        markers += U" " + marker;
    }
    return pad + markers;
}

} // namespace pado
