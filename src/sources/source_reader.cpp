#include "sources/source_reader.h"

#include <fstream>

namespace pado::sources {

namespace {

std::string Head(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string head(64 * 1024, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

} // namespace

SourceKind DetectSource(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return SourceKind::Unknown;
    if (LooksLikeJvDatabase(file))
        return SourceKind::JvDatabase;
    const std::string head = Head(file);
    if (head.empty())
        return SourceKind::Unknown;
    if (LooksLikeJrdb(head))
        return SourceKind::Jrdb;
    if (LooksLikeJvRecords(head))
        return SourceKind::JvRecords;
    if (LooksLikeCsv(head))
        return SourceKind::Csv;
    return SourceKind::Unknown;
}

bool ReadSource(const std::filesystem::path& file, RecordSink& sink)
{
    switch (DetectSource(file)) {
    case SourceKind::JvDatabase:
        ReadJvDatabase(file, sink);
        return true;
    case SourceKind::Jrdb:
        ReadJrdb(file, sink);
        return true;
    case SourceKind::JvRecords:
        ReadJvRecords(file, sink);
        return true;
    case SourceKind::Csv:
        ReadCsv(file, sink);
        return true;
    case SourceKind::Unknown:
        break;
    }
    return false;
}

} // namespace pado::sources
