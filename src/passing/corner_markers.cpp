#include "passing/corner_markers.h"

#include <limits>

namespace pado {

namespace {

bool IsAsciiDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

struct Bounds {
    std::size_t frontLast; // last place of "*o***"
    std::size_t midLast; // last place of "**o**"
};

// Indexed by count - 5; places after midLast run towards the rear.
constexpr Bounds kBounds[] = {
    { 3, 4 },
    { 3, 5 },
    { 4, 6 },
    { 4, 6 },
    { 4, 7 },
    { 4, 7 },
    { 5, 8 },
    { 5, 9 },
    { 5, 10 },
    { 5, 10 },
    { 6, 11 },
    { 6, 11 },
    { 6, 12 },
    { 6, 12 },
};

} // namespace

std::vector<unsigned long long> CornerList(const Text& orderText)
{
    std::vector<unsigned long long> list;
    constexpr auto kMax = std::numeric_limits<unsigned long long>::max();
    bool inNumber = false;
    unsigned long long value = 0;
    for (char32_t c : orderText) {
        if (!IsAsciiDigit(c)) {
            if (inNumber)
                list.push_back(value);
            inNumber = false;
            continue;
        }
        const unsigned digit = static_cast<unsigned>(c - U'0');
        if (!inNumber)
            value = 0;
        // A run of digits too long for any horse number just stays out of reach of every horse.
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
        inNumber = true;
    }
    if (inNumber)
        list.push_back(value);
    return list;
}

Text PositionMarker(std::size_t place, std::size_t count)
{
    if (count < 5 || count > 18 || place < 1 || place > count)
        return {};
    const Bounds& b = kBounds[count - 5];
    if (place == 1)
        return U"o****";
    if (place <= b.frontLast)
        return U"*o***";
    if (place <= b.midLast)
        return U"**o**";
    return U"***o*";
}

Text NextMarker(const Text& orderText, double horseNumber, bool horseNumberKnown, const Text& previous)
{
    if (!horseNumberKnown)
        return previous;
    const auto list = CornerList(orderText);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (static_cast<double>(list[i]) == horseNumber) {
            Text marker = PositionMarker(i + 1, list.size());
            return marker.empty() ? previous : marker;
        }
    }
    return previous;
}

} // namespace pado
