// The entrant records view: the horse's counts over all its runs, then its jockey's record at
// today's venue from the jockey file.
#include "app/app.h"
#include "formats/race_card.h"
#include "members/entrant_stats.h"
#include "members/form2.h"
#include "members/jockey_file.h"
#include "members/statistics.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "platform/work_files.h"

namespace pado {

namespace {

class EntrantRecordsView : public EntrantStatsView {
public:
    explicit EntrantRecordsView(App& app)
        : app_(app)
    {
    }
    void ReadHeadLine(const Text& line) override
    {
        // A later year line that names no venue keeps the one found before.
        if (Text v = cardhead::VenueNamed(line); cardhead::IsYearLine(line) && !v.empty())
            venue_ = v;
    }
    Text ColumnHeader(const Text&, const Text& firstEntrantLine) override
    {
        // A card whose first entrant names no jockey is taken to carry none.
        const Text indent(32, U' ');
        if (EndsWith(firstEntrantLine, U")"))
            return indent + U"1  2  3 外";
        return indent + U"1  2  3 外   騎手   1  2  3  外  1  1+2";
    }
    void CountRun(const Text&, int column) override { counts_[column] += 1; }
    Text EntrantLine(const Text& lead, const Text& cardLine) override
    {
        const Text horseLine = lead + U" " + CountGroup(counts_);
        counts_ = {};
        const Text jockey = entrant::JockeyText(cardLine);
        if (jockey.size() <= 1)
            return horseLine;
        const std::string path = app_.FilePath(files::kJockeys);
        if (!fs::Exists(path))
            return horseLine + U"  " + jockey;
        const Text key = JockeyKey(jockey);
        const int venue = VenueIndex(venue_);
        // Without a venue from the table the file has no columns to read.
        if (venue < 0)
            return horseLine + U"  " + key;
        if (!jockeyFile_)
            jockeyFile_ = ReadTextFile(path);
        auto found = FindJockeyCounts(*jockeyFile_, key, venue);
        if (!found)
            return horseLine + U"  " + key;
        const Counts& c = *found;
        const long rides = static_cast<long>(c[0]) + c[1] + c[2] + c[3];
        return horseLine + U"  " + key + U" " + JockeyRecord(c) + U" " + RateCell(RatePercent(c[0], rides)) + U" "
            + RateCell(RatePercent(static_cast<long>(c[0]) + c[1], rides));
    }

private:
    App& app_;
    Text venue_;
    Counts counts_ {};
    std::optional<Lines> jockeyFile_; // read at most once per press
};

} // namespace

void ShowEntrantRecordsWithJockey(Form2& f)
{
    EntrantRecordsView view(f.GetApp());
    RunEntrantStatsPass(f, view);
}

} // namespace pado
