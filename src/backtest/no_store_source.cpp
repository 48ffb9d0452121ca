// The backtest where the program is built without the race store: every command says so.
#include "backtest/store_source.h"

namespace pado::backtest {

std::unique_ptr<RaceSource> OpenStoreSource(const std::string& storePath, std::string& error)
{
    error = "このビルドにはレースの保存ファイル(" + storePath + ")を読む機能がありません。";
    return nullptr;
}

} // namespace pado::backtest
