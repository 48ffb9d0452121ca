#include "racefiles/corner_order.h"

#include <algorithm>

namespace pado::racefiles {

std::vector<int> PositionsFromOrder(const Text& order)
{
    std::vector<int> pos;
    int ahead = 0; // horses already placed
    int groupPosition = 0; // inside parentheses: the position the group shares
    int number = -1;
    auto place = [&] {
        if (number < 0 || number > 99)
            return;
        if (pos.size() <= static_cast<std::size_t>(number))
            pos.resize(number + 1, 0);
        pos[number] = groupPosition ? groupPosition : ahead + 1;
        ++ahead;
        number = -1;
    };
    for (char32_t c : order) {
        if (c >= U'0' && c <= U'9') {
            number = (number < 0 ? 0 : number * 10) + static_cast<int>(c - U'0');
            continue;
        }
        place();
        if (c == U'(' || c == U'（')
            groupPosition = ahead + 1;
        else if (c == U')' || c == U'）')
            groupPosition = 0;
    }
    place();
    return pos;
}

Text OrderFromPositions(std::vector<std::pair<int, int>> v)
{
    std::erase_if(v, [](const auto& p) { return p.second <= 0 || p.first <= 0; });
    std::sort(v.begin(), v.end(),
        [](const auto& a, const auto& b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
    Text out;
    for (std::size_t i = 0; i < v.size();) {
        std::size_t j = i;
        while (j < v.size() && v[j].second == v[i].second)
            ++j;
        if (!out.empty())
            out += U"-";
        if (j - i == 1) {
            out += ToText(v[i].first);
        } else {
            out += U"(";
            for (std::size_t k = i; k < j; ++k)
                out += (k > i ? U"," : U"") + ToText(v[k].first);
            out += U")";
        }
        i = j;
    }
    return out;
}

} // namespace pado::racefiles
