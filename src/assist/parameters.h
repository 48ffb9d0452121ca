#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/module1.h"
#include "platform/text.h"
#include "platform/work_files.h"

namespace pado {

class App;

// The 22 assist parameters, in the order of repara.txt and of Form6's boxes (index 0 is parameter 1).
enum AssistParam {
    turfGapUnder1200,
    turfGap1200,
    turfGap1600,
    turfGap2000,
    turfGap2400,
    turfGap3000,
    dirtGap,
    dirtAllowanceAge2,
    dirtAllowanceAge3,
    dirtLimitOver6Months,
    dirtLimit3To6Months,
    dirtLimitUpTo3Months,
    exceptionNextFinish,
    exceptionInterval,
    factorSurfaceBad,
    factorSurfaceGood,
    factorDistanceBad,
    factorDistanceGood,
    factorVenueBad,
    factorVenueGood,
    factorSeasonBad,
    factorSeasonGood,
    assistParamCount
};

const std::array<float, assistParamCount>& DefaultAssistParameters();
inline float Param(const Module1& m, AssistParam p)
{
    return m.params[static_cast<std::size_t>(p)];
}

// Sets all 22 parameters to their defaults.
void ResetAssistParameters(App& app);
// Sets the 22 parameters to their defaults, then takes the values of the program folder's repara.txt
// when that file exists. A file with fewer lines keeps the defaults for the rest.
void LoadAssistParameters(App& app);
// The parameters the lines of a settings file give, as start-up takes them.
std::array<float, assistParamCount> AssistParametersFrom(const Lines& lines);
// The number a user typed into a parameter box, as the settings file keeps it: full-width digits,
// "．" and "，" or "," as the decimal mark become their plain forms, spaces around it go. Nothing
// when the text is not one number (a sign, digits, at most one decimal mark), so that a typing
// mistake is refused instead of turning into 0.
std::optional<Text> TypedParameter(const Text& typed);
// What the parameter dialog calls a box: its group and its label there ("【ダートＲ】タイム差").
Text ParameterFieldName(std::size_t index);
// A value as the dialog shows it: the shortest text that reads back as the same value (0.2, 300).
Text ParameterText(float value);
// The decimal number that text stands for (0.7 for 0.7f, which is 0.699999988), for sums that
// must meet a limit exactly.
double ParameterDecimal(float value);

} // namespace pado
