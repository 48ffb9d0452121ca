#include "platform/number.h"

#include <charconv>
#include <cmath>
#include <string>

namespace pado {

namespace {

// The ASCII text of the leading number (sign kept, "+" dropped since from_chars rejects it),
// or an empty string when the text does not start with one.
std::string LeadingNumberText(const Text& s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == U' ')
        ++i;
    std::string out;
    if (i < s.size() && (s[i] == U'+' || s[i] == U'-')) {
        if (s[i] == U'-')
            out += '-';
        ++i;
    }
    bool digits = false;
    while (i < s.size() && s[i] >= U'0' && s[i] <= U'9') {
        out += static_cast<char>(s[i++]);
        digits = true;
    }
    if (i < s.size() && s[i] == U'.') {
        std::string frac = ".";
        for (std::size_t j = i + 1; j < s.size() && s[j] >= U'0' && s[j] <= U'9'; ++j)
            frac += static_cast<char>(s[j]);
        if (frac.size() > 1 || digits) {
            out += frac;
            digits = digits || frac.size() > 1;
        }
    }
    return digits ? out : std::string {};
}

// from_chars never consults the locale, so "." is the decimal mark everywhere.
template <typename T> T Parse(const Text& s)
{
    auto t = LeadingNumberText(s);
    T v {};
    if (!t.empty())
        std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
}

} // namespace

double LeadingNumber(const Text& s)
{
    return Parse<double>(s);
}

float LeadingFloat(const Text& s)
{
    // Straight to the nearest float: going through double could round twice.
    return Parse<float>(s);
}

long LeadingInt(const Text& s)
{
    double v = LeadingNumber(s);
    if (!std::isfinite(v) || v > 2e9 || v < -2e9)
        return 0;
    return static_cast<long>(v);
}

} // namespace pado
