// Stand-ins for the fixed-length emitters until they join make-race.
#include "emit.h"
#include "platform/errors.h"

namespace makerace {

void EmitJrdb(const SourceData&, const std::filesystem::path&)
{
    throw pado::UserError(U"--emit jrdb is not available in this build");
}

void EmitJvData(const SourceData&, const std::filesystem::path&)
{
    throw pado::UserError(U"--emit jvdata is not available in this build");
}

} // namespace makerace
