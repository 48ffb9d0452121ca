#include "members/statistics.h"

#include "formats/race_card.h"
#include "formats/run_line.h"
#include "members/entrant_stats.h"
#include "members/form2.h"
#include "platform/number.h"

namespace pado {

namespace {

const Text kIndent(33, U' ');

// Finishing counts on turf, dirt and jump races, every run of the horse.
class CourseRecordsView : public EntrantStatsView {
public:
    Text ColumnHeader(const Text&, const Text&) override { return kIndent + U"<---芝--->   <-ダート->   <--障害-->"; }
    void CountRun(const Text& run, int column) override
    {
        if (int s = SurfaceIndex(runline::Surface(run)); s >= 0)
            counts_[s][column] += 1;
    }
    Text EntrantLine(const Text& lead, const Text&) override
    {
        Text line = lead + ThreeGroups(counts_[0], counts_[1], counts_[2]);
        counts_ = {};
        return line;
    }

private:
    std::array<Counts, 3> counts_ {};
};

// The views that show only today's surface: all its runs, then two subsets of them. Today's
// surface and distance are read afresh from the card head at every press: the last line holding
// "・" and "m" gives them, unless a line holding "障害" and "m" makes it a jump race.
class TodaysSurfaceView : public EntrantStatsView {
public:
    void ReadHeadLine(const Text& line) override
    {
        long p = cardhead::FirstM(line);
        if (p == 0)
            return;
        if (Contains(line, U"・")) {
            distance_ = cardhead::DistanceBefore(line, p).value_or(0);
            surface_ = Cols(line, p + 2, p + 2);
        }
        if (Contains(line, U"障害")) {
            distance_ = cardhead::DistanceBefore(line, p).value_or(0);
            surface_ = U"障";
        }
    }
    Text ColumnHeader(const Text& terminator, const Text&) override
    {
        static const Text kLabels[] = { U"<---芝--->", U"<---ダ--->", U"<--障害-->" };
        int s = SurfaceIndex(surface_);
        return s < 0 ? terminator : kIndent + kLabels[s] + HeaderTail();
    }
    void CountRun(const Text& run, int column) override
    {
        int s = SurfaceIndex(runline::Surface(run));
        if (s < 0)
            return;
        counts_[s][0][column] += 1;
        if (InSecondGroup(run))
            counts_[s][1][column] += 1;
        if (InThirdGroup(run, s))
            counts_[s][2][column] += 1;
    }
    Text EntrantLine(const Text& lead, const Text&) override
    {
        int s = SurfaceIndex(surface_);
        // Without today's surface there is no group to show; the entrant keeps its lead alone.
        Text line = s < 0 ? lead : lead + ThreeGroups(counts_[s][0], counts_[s][1], counts_[s][2]);
        counts_ = {};
        return line;
    }

protected:
    virtual Text HeaderTail() const = 0;
    virtual bool InSecondGroup(const Text& run) const = 0;
    virtual bool InThirdGroup(const Text& run, int surface) const = 0;

    Text surface_;
    int distance_ = 0;

private:
    std::array<std::array<Counts, 3>, 3> counts_ {}; // surface, group, column
};

// Good going, and going other than good.
class TrackConditionView : public TodaysSurfaceView {
protected:
    Text HeaderTail() const override { return U"   <-良馬場->   <-良以外->"; }
    bool InSecondGroup(const Text& run) const override { return runline::Going(run) == U"良"; }
    bool InThirdGroup(const Text& run, int) const override
    {
        Text going = runline::Going(run);
        return going == U"稍" || going == U"重" || going == U"不";
    }
};

// Today's venue (named on the year line), and today's distance (within 200 metres for jump races).
class VenueDistanceView : public TodaysSurfaceView {
public:
    void ReadHeadLine(const Text& line) override
    {
        // A later year line that names no venue keeps the one found before.
        if (Text v = cardhead::VenueNamed(line); cardhead::IsYearLine(line) && !v.empty())
            venue_ = v;
        TodaysSurfaceView::ReadHeadLine(line);
    }

protected:
    Text HeaderTail() const override { return U"   <--場所-->   <--距離-->"; }
    bool InSecondGroup(const Text& run) const override { return !venue_.empty() && runline::Venue(run) == venue_; }
    bool InThirdGroup(const Text& run, int surface) const override
    {
        long distance = LeadingInt(runline::DistanceField(run));
        if (surface == 2)
            return distance >= distance_ - 200 && distance <= distance_ + 200;
        return distance == distance_;
    }

private:
    Text venue_;
};

} // namespace

void ShowCourseRecords(Form2& f)
{
    CourseRecordsView view;
    RunEntrantStatsPass(f, view);
}

void ShowTrackConditionStats(Form2& f)
{
    TrackConditionView view;
    RunEntrantStatsPass(f, view);
}

void ShowVenueDistanceStats(Form2& f)
{
    VenueDistanceView view;
    RunEntrantStatsPass(f, view);
}

} // namespace pado
