#include "tune/space.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "platform/errors.h"
#include "platform/fs.h"
#include "platform/number.h"
#include "platform/textfile.h"

namespace pado::tune {

namespace {

// The grid never holds more values than this: a step of 0.000001 over a range of 1000 would otherwise
// make a parameter the search could never cover.
constexpr double kMaxCount = 100000;

int StepDecimals(double step)
{
    for (int d = 0; d <= 6; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::fabs(scaled - std::round(scaled)) < 1e-9 * std::max(1.0, scaled))
            return d;
    }
    return 6;
}

bool ParseNumber(const std::string& s, double& v)
{
    std::size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t\r");
    if (b == std::string::npos)
        return false;
    const char* first = s.data() + b;
    const char* last = s.data() + e + 1;
    if (*first == '+')
        ++first;
    auto r = std::from_chars(first, last, v);
    return r.ec == std::errc() && r.ptr == last && std::isfinite(v) && std::fabs(v) < 1e7;
}

std::string Plain(double v)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v));
    return std::string(buf, r.ptr);
}

} // namespace

int Dimension::Count() const
{
    if (!(step > 0) || max <= min)
        return 1;
    return static_cast<int>(std::floor((max - min) / step + 1e-6)) + 1;
}

float Dimension::Value(int k) const
{
    if (k <= 0 || Count() == 1)
        return static_cast<float>(min);
    k = std::min(k, Count() - 1);
    const double scale = std::pow(10.0, std::max(StepDecimals(step), StepDecimals(min)));
    return static_cast<float>(std::round((min + k * step) * scale) / scale);
}

int Dimension::Nearest(float v) const
{
    if (Count() == 1)
        return 0;
    const double k = std::round((static_cast<double>(v) - min) / step);
    return static_cast<int>(std::clamp(k, 0.0, static_cast<double>(Count() - 1)));
}

SearchSpace SearchSpace::Default()
{
    SearchSpace s;
    // Time gaps in seconds, allowances and limits in seconds, the exception's finish and interval in days,
    // the factors' average finishes: wide enough to reach every sensible setting around the defaults.
    for (int i = turfGapUnder1200; i <= dirtGap; ++i)
        s.dims_[i] = { 0.0, 2.0, 0.1 };
    s.dims_[dirtAllowanceAge2] = { 0.0, 3.0, 0.1 };
    s.dims_[dirtAllowanceAge3] = { 0.0, 3.0, 0.1 };
    for (int i = dirtLimitOver6Months; i <= dirtLimitUpTo3Months; ++i)
        s.dims_[i] = { 0.0, 6.0, 0.1 };
    s.dims_[exceptionNextFinish] = { 1.0, 18.0, 1.0 };
    s.dims_[exceptionInterval] = { 30.0, 720.0, 30.0 };
    for (int i = factorSurfaceBad; i <= factorSeasonGood; i += 2) {
        s.dims_[i] = { 1.0, 18.0, 0.5 }; // "-": an average finish at least this bad
        s.dims_[i + 1] = { 1.0, 10.0, 0.5 }; // the mark: an average finish at least this good
    }
    return s;
}

std::size_t SearchSpace::FreeCount() const
{
    std::size_t n = 0;
    for (const Dimension& d : dims_)
        n += d.Count() > 1;
    return n;
}

bool SearchSpace::ApplyFile(const std::string& path, std::string& error)
{
    // A space file is a few lines; anything of a megabyte is not one.
    std::string text;
    if (!fs::ReadBytes(path, text, (1u << 20) - 1)) {
        error = "探索範囲のファイル(" + path + ")を読めません。";
        return false;
    }
    if (Apply(text, error))
        return true;
    error = path + ": " + error;
    return false;
}

bool SearchSpace::Apply(const std::string& text, std::string& error)
{
    std::array<Dimension, assistParamCount> dims = dims_;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        auto bad = [&](const std::string& why) {
            std::string shown;
            for (char c : line.substr(0, 60))
                shown += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
            error = std::to_string(number) + " 行目「" + shown + "」: " + why;
            return false;
        };
        const std::size_t eq = line.find('=');
        double index = 0;
        if (eq == std::string::npos || !ParseNumber(line.substr(0, eq), index) || index != std::floor(index)
            || index < 1 || index > static_cast<double>(assistParamCount))
            return bad("「番号=最小:最大:刻み」または「番号=値」で、番号は 1〜22 です。");
        std::string rest = line.substr(eq + 1);
        std::vector<double> v;
        std::size_t p = 0;
        while (true) {
            const std::size_t q = rest.find(':', p);
            double x = 0;
            if (!ParseNumber(rest.substr(p, q == std::string::npos ? std::string::npos : q - p), x))
                return bad("数値が読めません。");
            v.push_back(x);
            if (q == std::string::npos)
                break;
            p = q + 1;
        }
        Dimension d;
        if (v.size() == 1)
            d = { v[0], v[0], 1 };
        else if (v.size() == 3) {
            if (v[1] < v[0])
                return bad("最大が最小より小さくなっています。");
            if (!(v[2] > 0))
                return bad("刻みは正の数です。");
            if ((v[1] - v[0]) / v[2] >= kMaxCount)
                return bad("刻みが細かすぎます(値は 100000 個までです)。");
            d = { v[0], v[1], v[2] };
        } else
            return bad("「最小:最大:刻み」か 1 つの値を書きます。");
        dims[static_cast<std::size_t>(index) - 1] = d;
    }
    dims_ = dims;
    return true;
}

std::string SearchSpace::Describe() const
{
    std::string out = "番号  最小    最大    刻み    既定値  パラメーター\n";
    const auto& defaults = DefaultAssistParameters();
    for (std::size_t i = 0; i < dims_.size(); ++i) {
        const Dimension& d = dims_[i];
        char buf[160];
        std::snprintf(buf, sizeof buf, "%4zu  %-7s %-7s %-7s %-7s ", i + 1, Plain(d.min).c_str(),
            Plain(d.Count() > 1 ? d.max : d.min).c_str(), d.Count() > 1 ? Plain(d.step).c_str() : "固定",
            Plain(defaults[i]).c_str());
        out += buf + ToUtf8(ParameterFieldName(i)) + "\n";
    }
    return out;
}

Lines ParameterLines(const ParamValues& values)
{
    Lines lines;
    for (float v : values)
        lines.push_back(ParameterText(v));
    return lines;
}

void WriteParameterFile(const std::string& path, const ParamValues& values)
{
    WriteTextFile(path, ParameterLines(values), true);
}

ParamValues ReadParameterFile(const std::string& path)
{
    return AssistParametersFrom(ReadTextFile(path));
}

} // namespace pado::tune
