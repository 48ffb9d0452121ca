// Stand-ins for the fixed-length and database readers until they join this library: such files are not
// recognised yet, so nothing is read from them.
#include "platform/errors.h"
#include "sources/source_reader.h"

namespace pado::sources {

bool LooksLikeJvDatabase(const std::filesystem::path&)
{
    return false;
}
bool LooksLikeJrdb(std::string_view)
{
    return false;
}
bool LooksLikeJvRecords(std::string_view)
{
    return false;
}
void ReadJrdb(const std::filesystem::path& file, RecordSink&)
{
    throw UserError(FromUtf8(file.string()) + U" は読み込めません。");
}
void ReadJvRecords(const std::filesystem::path& file, RecordSink&)
{
    throw UserError(FromUtf8(file.string()) + U" は読み込めません。");
}
void ReadJvDatabase(const std::filesystem::path& file, RecordSink&)
{
    throw UserError(FromUtf8(file.string()) + U" は読み込めません。");
}

} // namespace pado::sources
