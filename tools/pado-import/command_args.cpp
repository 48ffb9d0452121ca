#include "command_args.h"

#include "platform/fs.h"

namespace pado::import {

bool ParseCount(const std::string& s, long long low, long long high, long long& out)
{
    if (s.empty() || s.size() > 12 || s.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long long v = std::stoll(s);
    if (v < low || v > high)
        return false;
    out = v;
    return true;
}

bool ParseRaceFilter(const std::string& a, const std::string& v, backtest::RaceQuery& query, std::string& error)
{
    error.clear();
    if (a == "--venue") {
        if (backtest::IsVenueName(v))
            query.venue = v;
        else
            error = "--venue は 札幌 函館 福島 新潟 東京 中山 中京 京都 阪神 小倉 のどれかです。";
        return true;
    }
    if (a == "--surface") {
        if (v == "芝" || v == "ダ" || v == "障")
            query.surface = v;
        else
            error = "--surface は 芝・ダ・障 のどれかです。";
        return true;
    }
    return false;
}

bool MakeFolders(const std::string& path)
{
    if (path.empty() || fs::IsFolder(path))
        return true;
    std::string parent = fs::Parent(path);
    if (parent != path && !MakeFolders(parent))
        return false;
    return fs::CreateFolder(path);
}

} // namespace pado::import
