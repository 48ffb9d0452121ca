#include "sources/jrdb_codes.h"

#include <string>

#include "sources/jv_codes.h"

namespace pado::sources {

int JrdbFullYear(int twoDigits)
{
    return twoDigits >= 70 ? 1900 + twoDigits : 2000 + twoDigits;
}

int JrdbDay(char code)
{
    if (code >= '1' && code <= '9')
        return code - '0';
    if (code >= 'a' && code <= 'f')
        return code - 'a' + 10;
    if (code >= 'A' && code <= 'F')
        return code - 'A' + 10;
    return 0;
}

char JrdbDayCode(int day)
{
    if (day >= 1 && day <= 9)
        return static_cast<char>('0' + day);
    if (day >= 10 && day <= 15)
        return static_cast<char>('a' + day - 10);
    return '0';
}

char32_t JrdbSurface(char code)
{
    return code == '1' ? U'芝' : code == '2' ? U'ダ' : code == '3' ? U'障' : 0;
}

char JrdbSurfaceCode(char32_t surface)
{
    return surface == U'芝' ? '1' : surface == U'ダ' ? '2' : surface == U'障' ? '3' : ' ';
}

char32_t JrdbDirection(char code)
{
    return code == '1' ? U'右' : code == '2' ? U'左' : code == '3' ? U'直' : 0;
}

char JrdbDirectionCode(char32_t direction)
{
    return direction == U'右' ? '1' : direction == U'左' ? '2' : direction == U'直' ? '3' : ' ';
}

char32_t JrdbGoing(std::string_view code)
{
    if (code.size() != 2 || code[1] < '0' || code[1] > '9')
        return 0;
    return JvGoing(code[0]); // the first digit counts the same way
}

std::string_view JrdbGoingCode(char32_t going)
{
    switch (going) {
    case U'良':
        return "10";
    case U'稍':
        return "20";
    case U'重':
        return "30";
    case U'不':
        return "40";
    default:
        return "  ";
    }
}

namespace {
const char32_t* const kJrdbWeather[] = { U"晴", U"曇", U"小雨", U"雨", U"小雪", U"雪" };
}

Text JrdbWeather(char code)
{
    if (code >= '1' && code <= '6')
        return kJrdbWeather[code - '1'];
    return {};
}

char JrdbWeatherCode(const Text& weather)
{
    for (int i = 0; i < 6; ++i)
        if (weather == kJrdbWeather[i])
            return static_cast<char>('1' + i);
    return ' ';
}

Abnormal JrdbAbnormal(char code)
{
    switch (code) {
    case '1':
        return Abnormal::Scratched;
    case '2':
        return Abnormal::Excluded;
    case '3':
        return Abnormal::DidNotFinish;
    case '4':
        return Abnormal::Disqualified;
    case '5':
        return Abnormal::Demoted;
    default:
        return Abnormal::None;
    }
}

char JrdbAbnormalCode(Abnormal abnormal)
{
    switch (abnormal) {
    case Abnormal::Scratched:
        return '1';
    case Abnormal::Excluded:
        return '2';
    case Abnormal::DidNotFinish:
        return '3';
    case Abnormal::Disqualified:
        return '4';
    case Abnormal::Demoted:
        return '5';
    default:
        return '0';
    }
}

int JrdbGrade(char code)
{
    return code >= '1' && code <= '3' ? code - '0' : 0;
}

char JrdbGradeCode(int grade)
{
    return grade >= 1 && grade <= 3 ? static_cast<char>('0' + grade) : ' ';
}

Text JrdbClass(std::string_view code, int year)
{
    if (code == "A1")
        return U"新馬";
    if (code == "A2")
        return U"未出走";
    if (code == "A3")
        return U"未勝利";
    if (code == "OP")
        return U"オープン";
    if (code.size() == 2 && code[0] >= '0' && code[0] <= '9' && code[1] >= '0' && code[1] <= '9')
        return ClassFromCondition((code[0] - '0') * 10 + (code[1] - '0'), year);
    return {};
}

std::string JrdbClassCode(const Text& classText)
{
    int c = ConditionFromClass(classText);
    switch (c) {
    case 0:
        return "  ";
    case 701:
        return "A1";
    case 702:
        return "A2";
    case 703:
        return "A3";
    case 999:
        return "OP";
    default:
        return c < 100 ? std::string(1, static_cast<char>('0' + c / 10)) + static_cast<char>('0' + c % 10) : "  ";
    }
}

RaceMarks JrdbRaceMarks(std::string_view code)
{
    RaceMarks m;
    if (code.size() != 3 || code[0] < '0' || code[0] > '5' || code[1] < '0' || code[1] > '4' || code[2] < '0'
        || code[2] > '4')
        return m;
    m.known = true;
    m.mixed = code[0] == '1' || code[0] == '5';
    m.international = code[0] == '5';
    constexpr SexLimit kSex[]
        = { SexLimit::None, SexLimit::Colts, SexLimit::Fillies, SexLimit::ColtsAndGeldings, SexLimit::ColtsAndFillies };
    m.sex = kSex[code[1] - '0'];
    // 4 is a race for young jockeys, which says nothing of the horses.
    constexpr Designation kDesignation[] = { Designation::None, Designation::Designated, Designation::DesignatedSquare,
        Designation::SpecialDesignated, Designation::None };
    m.designation = kDesignation[code[2] - '0'];
    return m;
}

Text JrdbAgeText(std::string_view code)
{
    if (code == "11")
        return U"2歳";
    if (code == "12")
        return U"3歳";
    if (code == "13")
        return U"3歳以上";
    if (code == "14")
        return U"4歳以上";
    return {};
}

std::string_view JrdbKindCode(const Text& ageText, char32_t surface)
{
    if (surface == U'障')
        return "20";
    if (ageText == U"2歳")
        return "11";
    if (ageText == U"3歳")
        return "12";
    if (ageText == U"3歳以上")
        return "13";
    if (ageText == U"4歳以上")
        return "14";
    return "  ";
}

} // namespace pado::sources
