#include "backtest/store_source.h"

#include <cstdlib>

namespace pado::backtest {

std::string DefaultStorePath()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data)
        return std::string(data) + "/pado/races.sqlite";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/pado/races.sqlite";
}

std::unique_ptr<RaceSource> OpenStoreSource(const std::string& storePath, std::string& error)
{
    error = "レースの保存ファイル(" + storePath + ")を読む機能がまだありません。";
    return nullptr;
}

} // namespace pado::backtest
