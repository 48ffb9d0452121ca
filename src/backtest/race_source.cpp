#include "backtest/race_source.h"

#include "backtest/store_source.h"
#include "store/race_store.h"

namespace pado::backtest {

bool IsVenueName(const std::string& name)
{
    for (const char* v : { "札幌", "函館", "福島", "新潟", "東京", "中山", "中京", "京都", "阪神", "小倉" })
        if (name == v)
            return true;
    return false;
}

std::string DateText(const Date& d)
{
    return IsoDateText(d);
}

bool ParseDate(const std::string& text, Date& d)
{
    return ParseIsoDate(text, d);
}

std::string DefaultStorePath()
{
    return store::DefaultStorePath().string();
}

} // namespace pado::backtest
