#include "tracks.h"

#include <map>
#include <utility>

namespace makerace {

namespace {

struct Course {
    std::vector<int> turf, dirt, jump;
};

const std::map<Text, Course>& Courses()
{
    static const std::map<Text, Course> courses = {
        { U"京都",
            { { 1200, 1400, 1600, 1800, 2000, 2200, 2400, 3000, 3200 }, { 1200, 1400, 1800, 1900 }, { 3170, 3930 } } },
        { U"阪神",
            { { 1200, 1400, 1600, 1800, 2000, 2200, 2400, 3000 }, { 1200, 1400, 1800, 2000 }, { 2970, 3140, 3900 } } },
        { U"中京", { { 1200, 1400, 1600, 2000, 2200 }, { 1200, 1400, 1800, 1900 }, { 3000, 3300 } } },
        { U"小倉", { { 1000, 1200, 1700, 1800, 2000, 2600 }, { 1000, 1700, 2400 }, { 2860, 3390 } } },
        { U"東京", { { 1400, 1600, 1800, 2000, 2300, 2400, 2500, 3400 }, { 1300, 1400, 1600, 2100 }, { 3000, 3110 } } },
        { U"中山", { { 1200, 1600, 1800, 2000, 2200, 2500, 3600 }, { 1200, 1800, 2400 }, { 2880, 3200, 3570, 4100 } } },
        { U"福島", { { 1200, 1800, 2000, 2600 }, { 1150, 1700, 2400 }, { 2750, 2770, 3380 } } },
        { U"新潟", { { 1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400 }, { 1200, 1800, 2500 }, { 2850, 3250 } } },
        { U"函館", { { 1000, 1200, 1800, 2000, 2600 }, { 1000, 1700, 2400 }, {} } },
        { U"札幌", { { 1200, 1500, 1800, 2000, 2600 }, { 1000, 1700, 2400 }, {} } },
    };
    return courses;
}

int Interpolate(const std::vector<std::pair<int, int>>& table, int distance)
{
    if (distance <= table.front().first)
        return table.front().second * distance / table.front().first;
    for (std::size_t i = 1; i < table.size(); ++i) {
        auto [d0, t0] = table[i - 1];
        auto [d1, t1] = table[i];
        if (distance <= d1)
            return t0 + (t1 - t0) * (distance - d0) / (d1 - d0);
    }
    return table.back().second * distance / table.back().first;
}

} // namespace

const std::vector<Text>& AllVenues()
{
    static const std::vector<Text> venues
        = { U"京都", U"阪神", U"中京", U"小倉", U"東京", U"中山", U"福島", U"新潟", U"函館", U"札幌" };
    return venues;
}

const std::vector<Text>& VenuesInMonth(int month)
{
    static const std::vector<std::vector<Text>> byMonth = {
        { U"中山", U"京都", U"中京", U"小倉" },
        { U"東京", U"京都", U"小倉", U"阪神" },
        { U"中山", U"阪神", U"中京" },
        { U"中山", U"阪神", U"福島" },
        { U"東京", U"京都", U"新潟" },
        { U"東京", U"阪神", U"函館" },
        { U"福島", U"小倉", U"函館", U"中京" },
        { U"新潟", U"小倉", U"札幌" },
        { U"中山", U"阪神", U"札幌" },
        { U"東京", U"京都", U"新潟" },
        { U"東京", U"京都", U"福島" },
        { U"中山", U"阪神", U"中京" },
    };
    return byMonth[(month - 1) % 12];
}

const std::vector<int>& Distances(const Text& venue, char32_t surface)
{
    static const std::vector<int> none;
    auto it = Courses().find(venue);
    if (it == Courses().end())
        return none;
    return surface == U'芝' ? it->second.turf : surface == U'ダ' ? it->second.dirt : it->second.jump;
}

Text Direction(const Text& venue)
{
    return venue == U"東京" || venue == U"中京" || venue == U"新潟" ? U"左" : U"右";
}

int BaseTenths(char32_t surface, int distance)
{
    static const std::vector<std::pair<int, int>> turf
        = { { 1000, 555 }, { 1200, 685 }, { 1400, 815 }, { 1600, 940 }, { 1800, 1075 }, { 2000, 1205 }, { 2200, 1335 },
              { 2400, 1460 }, { 2600, 1590 }, { 3000, 1845 }, { 3200, 1975 }, { 3600, 2230 } };
    static const std::vector<std::pair<int, int>> dirt = { { 1000, 595 }, { 1150, 680 }, { 1200, 715 }, { 1400, 845 },
        { 1600, 970 }, { 1800, 1115 }, { 2100, 1300 }, { 2400, 1510 }, { 2500, 1575 } };
    if (surface == U'芝')
        return Interpolate(turf, distance);
    if (surface == U'ダ')
        return Interpolate(dirt, distance);
    return distance * 10 / 15; // jump races run at about 15 m/s
}

} // namespace makerace
