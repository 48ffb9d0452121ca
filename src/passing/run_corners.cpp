#include "passing/run_corners.h"

#include <array>

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

} // namespace

Text PassingMarkers(const RaceDatabase& db, const Text& runKeyText, const Text& horseName)
{
    const auto body = db.FindBody(runKeyText);
    if (!body)
        return {};
    RecordCursor cursor(db, *body);

    const Text* line = nullptr;
    do {
        line = NextInRecord(cursor);
    } while (line && Left(*line, 2) != U"上り");
    if (!line)
        return {};
    line = NextInRecord(cursor);
    if (!line || Left(*line, 4) != U"コーナー")
        return {};

    line = NextInRecord(cursor);
    if (!line)
        return {};
    int firstCorner = 3;
    Text pad(12, U' ');
    if (CharAt(*line, 1) == U'1') {
        firstCorner = 1;
        pad.clear();
    } else if (CharAt(*line, 1) == U'2') {
        firstCorner = 2;
        pad = Text(6, U' ');
    }
    std::array<Text, 5> orderTexts;
    for (int corner = firstCorner; corner <= 4; ++corner) {
        orderTexts[corner] = OrderText(*line);
        line = NextInRecord(cursor); // after the last corner: the separating line, passed over
        if (!line)
            return {};
    }

    bool numberKnown = false;
    double horseNumber = 0;
    for (;;) {
        line = NextInRecord(cursor);
        if (!line)
            return {};
        if (Left(*line, 3) == U"---")
            break;
        if (Cols(*line, 7, 15) == horseName) {
            horseNumber = LeadingNumber(Cols(*line, 4, 5));
            numberKnown = true;
            break;
        }
    }

    Text markers;
    Text marker;
    for (int corner = firstCorner; corner <= 4; ++corner) {
        marker = NextMarker(orderTexts[corner], horseNumber, numberKnown, marker);
        markers += U" " + marker;
    }
    return pad + markers;
}

} // namespace pado
