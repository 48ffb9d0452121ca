#include "sources/jv_codes.h"

namespace pado::sources {

int VenueFromCode(std::string_view code)
{
    if (code.size() != 2 || code[0] < '0' || code[0] > '9' || code[1] < '0' || code[1] > '9')
        return 0;
    int v = (code[0] - '0') * 10 + (code[1] - '0');
    return v >= 1 && v <= 10 ? v : 0;
}

char32_t SexFromCode(char code)
{
    switch (code) {
    case '1':
        return U'牡';
    case '2':
        return U'牝';
    case '3':
        return U'セ';
    default:
        return 0;
    }
}

char SexCode(char32_t sex)
{
    switch (sex) {
    case U'牡':
        return '1';
    case U'牝':
        return '2';
    case U'セ':
        return '3';
    default:
        return ' ';
    }
}

int JvGrade(char code)
{
    switch (code) {
    case 'A':
    case 'F':
        return 1;
    case 'B':
    case 'G':
        return 2;
    case 'C':
    case 'H':
        return 3;
    default:
        return 0;
    }
}

char JvGradeCode(int grade, char32_t surface)
{
    bool jump = surface == U'障';
    switch (grade) {
    case 1:
        return jump ? 'F' : 'A';
    case 2:
        return jump ? 'G' : 'B';
    case 3:
        return jump ? 'H' : 'C';
    default:
        return ' ';
    }
}

bool JvTrack(int code, char32_t& surface, char32_t& direction)
{
    direction = 0;
    if (code == 10) {
        surface = U'芝';
        direction = U'直';
    } else if (code >= 11 && code <= 16) {
        surface = U'芝';
        direction = U'左';
    } else if (code >= 17 && code <= 22) {
        surface = U'芝';
        direction = U'右';
    } else if (code >= 23 && code <= 28) {
        surface = U'ダ';
        direction = code % 2 == 1 ? U'左' : U'右'; // 23 25 27 left, 24 26 28 right
    } else if (code == 29) {
        surface = U'ダ';
        direction = U'直';
    } else if (code >= 51 && code <= 59) {
        surface = U'障';
        if (code == 53)
            direction = U'左'; // the only jump code that names its direction
    } else {
        surface = 0;
        return false;
    }
    return true;
}

int JvTrackCode(char32_t surface, char32_t direction)
{
    switch (surface) {
    case U'芝':
        return direction == U'直' ? 10 : direction == U'左' ? 11 : 17;
    case U'ダ':
        return direction == U'直' ? 29 : direction == U'左' ? 23 : 24;
    case U'障':
        return direction == U'左' ? 53 : 54;
    default:
        return 0;
    }
}

char32_t JvGoing(char code)
{
    switch (code) {
    case '1':
        return U'良';
    case '2':
        return U'稍';
    case '3':
        return U'重';
    case '4':
        return U'不';
    default:
        return 0;
    }
}

char JvGoingCode(char32_t going)
{
    switch (going) {
    case U'良':
        return '1';
    case U'稍':
        return '2';
    case U'重':
        return '3';
    case U'不':
        return '4';
    default:
        return '0';
    }
}

namespace {
const char32_t* const kJvWeather[] = { U"晴", U"曇", U"雨", U"小雨", U"雪", U"小雪" };
}

Text JvWeather(char code)
{
    if (code >= '1' && code <= '6')
        return kJvWeather[code - '1'];
    return {};
}

char JvWeatherCode(const Text& weather)
{
    for (int i = 0; i < 6; ++i)
        if (weather == kJvWeather[i])
            return static_cast<char>('1' + i);
    return '0';
}

Abnormal JvAbnormal(char code)
{
    switch (code) {
    case '1':
        return Abnormal::Scratched;
    case '2':
    case '3':
        return Abnormal::Excluded;
    case '4':
        return Abnormal::DidNotFinish;
    case '5':
        return Abnormal::Disqualified;
    case '7':
        return Abnormal::Demoted;
    default:
        return Abnormal::None;
    }
}

char JvAbnormalCode(Abnormal abnormal)
{
    switch (abnormal) {
    case Abnormal::Scratched:
        return '1';
    case Abnormal::Excluded:
        return '3';
    case Abnormal::DidNotFinish:
        return '4';
    case Abnormal::Disqualified:
        return '5';
    case Abnormal::Demoted:
        return '7';
    default:
        return '0';
    }
}

Text JvMargin(std::string_view code)
{
    if (code.size() < 3)
        return {};
    std::string_view frac = code.substr(1, 2);
    Text fraction = frac == "12" ? U"1/2" : frac == "14" ? U"1/4" : frac == "34" ? U"3/4" : U"";
    if (fraction.empty() && frac != "  ")
        return {};
    char head = code[0];
    if (head >= '1' && head <= '9')
        return Text(1, static_cast<char32_t>(head)) + (fraction.empty() ? U"" : U" " + fraction);
    if (head == ' ')
        return fraction;
    if (!fraction.empty())
        return {};
    switch (head) {
    case 'H':
        return U"ハナ";
    case 'A':
        return U"アタマ";
    case 'K':
        return U"クビ";
    case 'D':
        return U"同着";
    case 'T':
        return U"大差";
    case 'Z':
        return U"10";
    default:
        return {};
    }
}

std::string JvMarginCode(const Text& margin)
{
    if (margin == U"ハナ")
        return "H  ";
    if (margin == U"アタマ")
        return "A  ";
    if (margin == U"クビ")
        return "K  ";
    if (margin == U"同着")
        return "D  ";
    if (margin == U"大差")
        return "T  ";
    if (margin == U"10")
        return "Z  ";
    auto fractionCode = [](const Text& f) -> std::string {
        return f == U"1/2" ? "12" : f == U"1/4" ? "14" : f == U"3/4" ? "34" : "";
    };
    if (margin.size() == 1 && margin[0] >= U'1' && margin[0] <= U'9')
        return std::string(1, static_cast<char>(margin[0])) + "  ";
    if (std::string f = fractionCode(margin); !f.empty())
        return " " + f;
    if (margin.size() == 5 && margin[0] >= U'1' && margin[0] <= U'9' && margin[1] == U' ')
        if (std::string f = fractionCode(margin.substr(2)); !f.empty())
            return std::string(1, static_cast<char>(margin[0])) + f;
    return "   ";
}

Text ClassFromCondition(int code, int year)
{
    switch (code) {
    case 701:
        return U"新馬";
    case 702:
        return U"未出走";
    case 703:
        return U"未勝利";
    case 999:
        return U"オープン";
    default:
        break;
    }
    if (code <= 0 || code > 100)
        return {};
    if (year >= 2019) { // the classes were renamed by wins in June 2019; the codes stayed
        if (code == 5)
            return U"1勝クラス";
        if (code == 10)
            return U"2勝クラス";
        if (code == 16)
            return U"3勝クラス";
    }
    return ToText(code * 100) + U"万下";
}

Text JumpClass(const Text& classText, char32_t surface)
{
    if (surface != U'障' || classText.empty() || classText.starts_with(U"障害"))
        return classText;
    return U"障害" + classText;
}

int ConditionFromClass(const Text& text)
{
    const Text classText = text.starts_with(U"障害") ? text.substr(2) : text;
    if (classText == U"新馬")
        return 701;
    if (classText == U"未出走")
        return 702;
    if (classText == U"未勝利")
        return 703;
    if (classText == U"オープン")
        return 999;
    if (classText == U"1勝クラス")
        return 5;
    if (classText == U"2勝クラス")
        return 10;
    if (classText == U"3勝クラス")
        return 16;
    if (classText.size() > 2 && classText.substr(classText.size() - 2) == U"万下") {
        int n = 0;
        for (std::size_t i = 0; i + 2 < classText.size(); ++i) {
            if (classText[i] < U'0' || classText[i] > U'9')
                return 0;
            n = n * 10 + static_cast<int>(classText[i] - U'0');
        }
        return n % 100 == 0 && n / 100 <= 100 ? n / 100 : 0;
    }
    return 0;
}

namespace {
const char32_t* const kWeightRules[] = { U"ハンデ", U"別定", U"馬齢", U"定量" };
}

Text ConditionText(const Text& ageText, char weightCode)
{
    Text weight = weightCode >= '1' && weightCode <= '4' ? Text(kWeightRules[weightCode - '1']) : Text();
    if (ageText.empty())
        return weight;
    return weight.empty() ? ageText : ageText + U" " + weight;
}

WeightRule WeightRuleFromCode(char code)
{
    return code >= '1' && code <= '4' ? static_cast<WeightRule>(code - '0') : WeightRule::Unknown;
}

Text MarksText(const RaceMarks& m)
{
    if (!m.known)
        return {};
    Text t = m.international ? U"(国際)" : m.mixed ? U"(混)" : U"";
    switch (m.sex) {
    case SexLimit::Fillies:
        t += U"(牝)";
        break;
    case SexLimit::Colts:
        t += U"(牡)";
        break;
    case SexLimit::ColtsAndGeldings:
        t += U"(牡・セン)";
        break;
    case SexLimit::ColtsAndFillies:
        t += U"(牡・牝)";
        break;
    case SexLimit::None:
        break;
    }
    switch (m.designation) {
    case Designation::Designated:
        t += U"(指定)";
        break;
    case Designation::DesignatedSquare:
        t += U"[指定]";
        break;
    case Designation::SpecialDesignated:
        t += U"(特指)";
        break;
    case Designation::None:
        break;
    }
    return t;
}

Text ConditionText(const Text& ageText, const RaceMarks& marks, WeightRule rule)
{
    Text out = ageText;
    for (const Text& part :
        { MarksText(marks), rule == WeightRule::Unknown ? Text() : Text(kWeightRules[static_cast<int>(rule) - 1]) })
        if (!part.empty())
            out += (out.empty() ? U"" : U" ") + part;
    return out;
}

bool AgeFromText(const Text& ageText, int& age, bool& andOlder)
{
    std::size_t at = ageText.find(U'歳');
    if (at == 0 || at == Text::npos || ageText[at - 1] < U'2' || ageText[at - 1] > U'9')
        return false;
    age = static_cast<int>(ageText[at - 1] - U'0');
    andOlder = ageText.find(U"以上", at) != Text::npos;
    return true;
}

RaceMarks JvRaceMarks(std::string_view code)
{
    RaceMarks m;
    if (code.size() != 3)
        return m;
    const char who = code[0], sex = code[1], designation = code[2];
    if (!(who == '0' || (who >= 'A' && who <= 'N')) || sex < '0' || sex > '4' || designation < '0' || designation > '4')
        return m;
    m.known = true;
    m.mixed = who == 'A' || who == 'N';
    m.international = who == 'N';
    constexpr SexLimit kSex[]
        = { SexLimit::None, SexLimit::Colts, SexLimit::Fillies, SexLimit::ColtsAndGeldings, SexLimit::ColtsAndFillies };
    m.sex = kSex[sex - '0'];
    // 2 is a race for young jockeys, which says nothing of the horses.
    constexpr Designation kDesignation[] = { Designation::None, Designation::Designated, Designation::None,
        Designation::DesignatedSquare, Designation::SpecialDesignated };
    m.designation = kDesignation[designation - '0'];
    return m;
}

Text AgePart(const Text& conditions)
{
    Text first = conditions.substr(0, conditions.find(U' '));
    return first.find(U'歳') != Text::npos ? first : Text();
}

char WeightCode(const Text& conditions)
{
    for (int i = 0; i < 4; ++i)
        if (conditions.find(kWeightRules[i]) != Text::npos)
            return static_cast<char>('1' + i);
    return ' ';
}

Text JvAgeText(int kindCode)
{
    switch (kindCode) {
    case 11:
        return U"2歳";
    case 12:
        return U"3歳";
    case 13:
    case 18:
        return U"3歳以上";
    case 14:
    case 19:
        return U"4歳以上";
    default:
        return {};
    }
}

int JvKindCode(const Text& ageText, char32_t surface)
{
    if (surface == U'障')
        return ageText == U"4歳以上" ? 19 : 18;
    if (ageText == U"2歳")
        return 11;
    if (ageText == U"3歳")
        return 12;
    if (ageText == U"3歳以上")
        return 13;
    if (ageText == U"4歳以上")
        return 14;
    return 0;
}

int TimeTenths(int msss)
{
    if (msss <= 0)
        return 0;
    int minutes = msss / 1000, tenths = msss % 1000;
    if (tenths >= 600)
        return -1;
    return minutes * 600 + tenths;
}

int TimeField(int tenths)
{
    if (tenths <= 0)
        return 0;
    return tenths / 600 * 1000 + tenths % 600;
}

} // namespace pado::sources
