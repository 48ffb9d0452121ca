#include "emit_records.h"

#include <fstream>

#include "platform/errors.h"

namespace makerace {

RunnersByRace GroupRunners(const SourceData& data)
{
    RunnersByRace byRace;
    for (const pado::sources::RunnerRecord& r : data.runners)
        byRace[r.race].push_back(&r);
    return byRace;
}

void WriteRecords(const std::filesystem::path& dir, const std::string& name, const std::vector<std::string>& records)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (records.empty()) // an empty file says nothing of its kind, and the import could not tell what it is
        return;
    std::filesystem::path path = dir / name;
    std::filesystem::path temp = dir / (name + ".tmp");
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const std::string& r : records)
            out << r << "\r\n";
        out.flush();
        if (!out)
            throw pado::UserError(U"ファイル(" + pado::FromUtf8(path.string()) + U")を書けません。");
    }
    std::filesystem::rename(temp, path, ec);
    if (ec)
        throw pado::UserError(U"ファイル(" + pado::FromUtf8(path.string()) + U")を書けません。");
}

std::vector<int> Numbers(const pado::Text& spaced)
{
    std::vector<int> out;
    long v = -1;
    for (char32_t c : spaced + U" ") {
        if (c >= U'0' && c <= U'9')
            v = (v < 0 ? 0 : v * 10) + static_cast<long>(c - U'0');
        else if (v >= 0) {
            out.push_back(static_cast<int>(v));
            v = -1;
        }
    }
    return out;
}

} // namespace makerace
