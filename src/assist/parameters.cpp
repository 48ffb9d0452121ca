#include "assist/parameters.h"

#include <charconv>

#include "app/app.h"
#include "platform/fs.h"
#include "platform/number.h"
#include "platform/textfile.h"

namespace pado {

const std::array<float, assistParamCount>& DefaultAssistParameters()
{
    static const std::array<float, assistParamCount> defaults { 0.2f, 0.3f, 0.5f, 0.6f, 0.7f, 0.8f, 0.2f, 1.5f, 0.7f,
        3.3f, 1.9f, 1.2f, 6.0f, 300.f, 10.f, 4.f, 7.f, 2.f, 7.f, 2.f, 7.f, 2.f };
    return defaults;
}

void ResetAssistParameters(App& app)
{
    app.module1.params = DefaultAssistParameters();
}

void LoadAssistParameters(App& app)
{
    ResetAssistParameters(app);
    if (!fs::IsFile(kParameterFile))
        return;
    Lines lines = ReadTextFile(kParameterFile);
    for (std::size_t i = 0; i < lines.size() && i < app.module1.params.size(); ++i)
        app.module1.params[i] = LeadingFloat(lines[i]);
}

Text ParameterText(float value)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return FromUtf8(std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)));
}

} // namespace pado

namespace pado {

double ParameterDecimal(float value)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    double decimal = value;
    std::from_chars(buf, r.ptr, decimal);
    return decimal;
}

} // namespace pado
