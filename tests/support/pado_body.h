#pragma once

#include <algorithm>
#include <vector>

#include "platform/text.h"

namespace pado::testing {

// The record body a header line of pado.txt leads to, worked out apart from the program's lookup: with more
// than 30 header lines, the body under the 30th header after the key's own, counting on from the top.
inline Lines PadoBodyFor(const Lines& pado, const Text& header)
{
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < pado.size(); ++i)
        if (StartsWith(pado[i], U"◎"))
            headers.push_back(i);
    auto it = std::find_if(headers.begin(), headers.end(), [&](std::size_t h) { return pado[h] == header; });
    if (it == headers.end())
        return {};
    std::size_t k = it - headers.begin();
    if (headers.size() > 30)
        k = (k + 30) % headers.size();
    Lines body;
    for (std::size_t i = headers[k] + 1; i < pado.size() && !StartsWith(pado[i], U"◎"); ++i)
        body.push_back(pado[i]);
    return body;
}

} // namespace pado::testing
