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

std::array<float, assistParamCount> AssistParametersFrom(const Lines& lines)
{
    std::array<float, assistParamCount> params = DefaultAssistParameters();
    for (std::size_t i = 0; i < lines.size() && i < params.size(); ++i)
        params[i] = LeadingFloat(lines[i]);
    return params;
}

void LoadAssistParameters(App& app)
{
    ResetAssistParameters(app);
    const std::string file = app.FilePath(files::kParameters);
    if (!fs::IsFile(file))
        return;
    app.module1.params = AssistParametersFrom(ReadTextFile(file));
}

std::optional<Text> TypedParameter(const Text& typed)
{
    Text plain;
    for (char32_t c : typed) {
        if (c >= U'０' && c <= U'９')
            c = U'0' + (c - U'０');
        else if (c == U'．' || c == U'，' || c == U',')
            c = U'.';
        else if (c == U'－' || c == U'−' || c == U'ー')
            c = U'-';
        else if (c == U'＋')
            c = U'+';
        else if (c == U'　')
            c = U' ';
        plain += c;
    }
    const std::size_t first = plain.find_first_not_of(U' ');
    if (first == Text::npos)
        return std::nullopt;
    plain = plain.substr(first, plain.find_last_not_of(U' ') - first + 1);
    std::size_t i = (plain[0] == U'-' || plain[0] == U'+') ? 1 : 0;
    int digits = 0, marks = 0;
    for (; i < plain.size(); ++i) {
        if (plain[i] >= U'0' && plain[i] <= U'9')
            ++digits;
        else if (plain[i] == U'.' && ++marks == 1)
            continue;
        else
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    return plain;
}

Text ParameterFieldName(std::size_t index)
{
    static const char32_t* const names[assistParamCount] = {
        U"【芝Ⅰ、芝Ⅱ】距離別タイム差 ～1200m",
        U"【芝Ⅰ、芝Ⅱ】距離別タイム差 1200m～1600m",
        U"【芝Ⅰ、芝Ⅱ】距離別タイム差 1600m～2000m",
        U"【芝Ⅰ、芝Ⅱ】距離別タイム差 2000m～2400m",
        U"【芝Ⅰ、芝Ⅱ】距離別タイム差 2400m～3000m",
        U"【芝Ⅰ、芝Ⅱ】距離別タイム差 3000m～",
        U"【ダートＲ】タイム差",
        U"【ダートＲ】同条件タイム差パラメーターⅠ 2才",
        U"【ダートＲ】同条件タイム差パラメーターⅠ 3才",
        U"【ダートＲ】同条件タイム差パラメーターⅡ 0～3ヶ月",
        U"【ダートＲ】同条件タイム差パラメーターⅡ 3ヶ月～6ヶ月",
        U"【ダートＲ】同条件タイム差パラメーターⅡ 6ヶ月～",
        U"【芝Ⅰ、芝Ⅱ】2桁着順例外 該当が1走目の時の次走着順",
        U"【芝Ⅰ、芝Ⅱ】2桁着順例外 該当が2走目以降の時の前走間隔",
        U"【ファクター】芝・ダート \"-\"",
        U"【ファクター】芝・ダート \"k\"",
        U"【ファクター】距離 \"-\"",
        U"【ファクター】距離 \"d\"",
        U"【ファクター】開催地 \"-\"",
        U"【ファクター】開催地 \"p\"",
        U"【ファクター】季節 \"-\"",
        U"【ファクター】季節 \"s\"",
    };
    return index < assistParamCount ? Text(names[index]) : Text();
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
