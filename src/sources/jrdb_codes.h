#pragma once

#include <string_view>

#include "sources/race_records.h"

// The JRDB code tables this program reads, both ways (JRDB's own code list; venue, sex and the weight rule
// are the same as JV-Data's, see jv_codes.h).
namespace pado::sources {

// The race key's year is two digits: 70-99 are 19xx, the rest 20xx.
int JrdbFullYear(int twoDigits);
// The race key's day is one hexadecimal character (1-9, a-f; upper case accepted); 0 when it is not one.
int JrdbDay(char code);
char JrdbDayCode(int day); // '0' when the day does not fit

// 芝ダ障害コード 1 芝 2 ダ 3 障, 右左 1 右 2 左 3 直.
char32_t JrdbSurface(char code);
char JrdbSurfaceCode(char32_t surface);
char32_t JrdbDirection(char code);
char JrdbDirectionCode(char32_t direction);

// 馬場状態: two digits, the first 1 良 2 稍重 3 重 4 不良 (the second a fast/slow nuance).
char32_t JrdbGoing(std::string_view code);
std::string_view JrdbGoingCode(char32_t going); // "  " when unknown

// 天候: 1 晴 2 曇 3 小雨 4 雨 5 小雪 6 雪.
Text JrdbWeather(char code);
char JrdbWeatherCode(const Text& weather);

// 異常区分: 1 取消 2 除外 3 中止 4 失格 5 降着 6 再騎乗 (a finish).
Abnormal JrdbAbnormal(char code);
char JrdbAbnormalCode(Abnormal abnormal);

// グレード: 1 GI 2 GII 3 GIII (4 重賞, 5 特別, 6 L carry no grade number).
int JrdbGrade(char code);
char JrdbGradeCode(int grade);

// 条件: A1 新馬, A2 未出走, A3 未勝利, OP オープン, or the prize-money limit in 1,000,000 yen ("05").
Text JrdbClass(std::string_view code, int year);
std::string JrdbClassCode(const Text& classText); // "  " when the text names no class

// 記号 (JRDB's own table, unlike JV-Data's): the first digit who may run (1 ○混, 5 ○国際混), the second the
// sex the race is limited to (2 牝馬限定), the third the designation (1 ○指, 2 □指, 3 ○特指).
RaceMarks JrdbRaceMarks(std::string_view code);

// 種別: 11 2歳 12 3歳 13 3歳以上 14 4歳以上 (20 障害 names no age).
Text JrdbAgeText(std::string_view code);
std::string_view JrdbKindCode(const Text& ageText, char32_t surface);

} // namespace pado::sources
