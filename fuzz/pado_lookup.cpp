// Any pado.txt: every lookup ends (the displacement's cyclic count included), and reading a record's
// corners never runs past the file or into another record's numbers out of range.
#include <cstdlib>
#include <string>

#include "formats/pado_db.h"
#include "fuzz_input.h"
#include "passing/run_corners.h"

using namespace pado;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Lines lines;
    if (!FuzzLines(data, size, lines))
        return 0;
    // The database as the program holds it: the file's bytes, split and decoded line by line.
    const auto held = RaceDatabase::FromCp932(std::string(reinterpret_cast<const char*>(data), size));
    const RaceDatabase& db = *held;
    if (db.LineCount() != lines.size())
        std::abort();
    std::size_t lookups = 0;
    for (const auto& line : lines) {
        if (!RaceDatabase::IsHeader(line) || ++lookups > 64)
            continue;
        // The run-line text whose key is this header: yymmdd, a separator, venue, a separator, race number.
        Text key = Cols(line, 2, 7) + U" " + Cols(line, 8, 9) + U" " + Cols(line, 10, 11);
        if (auto body = db.FindBody(key)) {
            if (*body > db.LineCount())
                std::abort();
            RecordCursor cursor(db, *body);
            for (int i = 0; i < 64 && cursor.Next(); ++i) { }
        }
        for (const auto& other : { Text(U"アドマイヤテスト "), Cols(line, 2, 10) })
            PassingMarkers(db, key, other);
    }
    return 0;
}
