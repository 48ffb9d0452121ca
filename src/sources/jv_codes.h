#pragma once

#include <string>
#include <string_view>

#include "sources/race_records.h"

// The JV-Data code tables this program reads (venue 2001, grade 2003, race kind 2005, condition 2007, weight
// rule 2008, track 2009, going 2010, weather 2011, abnormal result 2101, margin 2102, sex 2202), each both
// ways: the record and database readers decode with them, the emitter encodes. The class and condition
// texts are shared with the JRDB reader so that both sources give the store the same words.
namespace pado::sources {

// JRA venue 1..10 from its two-digit code ("06"); 0 for any other course (local or overseas).
int VenueFromCode(std::string_view code);

// 牡 牝 セ from '1' '2' '3' (the same in JRDB and JV-Data); 0 otherwise.
char32_t SexFromCode(char code);
char SexCode(char32_t sex); // ' ' when unknown

// Grade 2003: A/F GI, B/G GII, C/H GIII (F-H are the jump grades); 0 for the rest.
int JvGrade(char code);
char JvGradeCode(int grade, char32_t surface);

// Track 2009: 10-22 芝, 23-29 ダ (サンド included), 51-59 障, with the direction where the code gives one.
// False for a code outside the table.
bool JvTrack(int code, char32_t& surface, char32_t& direction);
int JvTrackCode(char32_t surface, char32_t direction); // 0 when the surface is unknown

// Going 2010: 1 良 2 稍重 3 重 4 不良, read as their first character.
char32_t JvGoing(char code);
char JvGoingCode(char32_t going); // '0' when unknown

// Weather 2011: 1 晴 2 曇 3 雨 4 小雨 5 雪 6 小雪.
Text JvWeather(char code);
char JvWeatherCode(const Text& weather); // '0' when unknown or not in the table

// Abnormal result 2101: 1 出走取消 2 発走除外 3 競走除外 4 競走中止 5 失格 6 落馬再騎乗 (a finish) 7 降着.
Abnormal JvAbnormal(char code);
char JvAbnormalCode(Abnormal abnormal);

// Margin 2102: the first byte the whole lengths or a word (H ハナ, A アタマ, K クビ, D 同着, T 大差, Z 10),
// the other two a fraction (12, 14, 34). Gives texts such as "1 1/2", "3/4", "クビ"; empty for blank or an
// unknown code.
Text JvMargin(std::string_view code);
std::string JvMarginCode(const Text& margin); // "   " when the text has no code

// Class from a condition code counted in 1,000,000 yen (5 = 500万下, from 2019 on 1勝クラス, 10 2勝クラス,
// 16 3勝クラス) or JV-Data's 701 新馬, 702 未出走, 703 未勝利, 999 オープン. Empty when unknown.
Text ClassFromCondition(int code, int year);
int ConditionFromClass(const Text& classText); // 0 when the text names no class; 障害未勝利 as 未勝利
// A jump race's class as result tables print it (障害未勝利, 障害オープン): the condition codes name the class
// only, the track says it is a jump.
Text JumpClass(const Text& classText, char32_t surface);

// Condition texts "3歳以上 定量": the age part from the race kind, the weight rule from its code
// (1 ハンデ 2 別定 3 馬齢 4 定量, the same in both sources). Either part may be missing.
Text ConditionText(const Text& ageText, char weightCode);
// The same with the race's marks between them, "3歳 (混)(牝)[指定] 馬齢", as the race's header writes them.
Text ConditionText(const Text& ageText, const RaceMarks& marks, WeightRule rule);
// "(国際)(牝)(特指)": (国際) or (混), the sex the race is limited to, the designation; empty when none.
Text MarksText(const RaceMarks& marks);
WeightRule WeightRuleFromCode(char code); // 1 ハンデ 2 別定 3 馬齢 4 定量
// "3歳以上" as age 3 and older; false for a text that names no age.
bool AgeFromText(const Text& ageText, int& age, bool& andOlder);
// 競走記号コード 2006: the first character who may run (A (混合), N (国際) ...), the second the sex the race is
// limited to (2 牝), the third the designation (1 (指定), 3 [指定], 4 (特指)). Unknown codes leave known false.
RaceMarks JvRaceMarks(std::string_view code);
Text AgePart(const Text& conditions); // "3歳以上" of "3歳以上 定量"
char WeightCode(const Text& conditions); // '4' for 定量, ' ' when none

// Race kind 2005: 11 2歳 12 3歳 13 3歳以上 14 4歳以上, 18 障害3歳以上, 19 障害4歳以上.
Text JvAgeText(int kindCode);
int JvKindCode(const Text& ageText, char32_t surface);

// Race time "1345" (minutes, seconds, tenths) as tenths of a second (945); 0 when blank, -1 when the
// seconds part is 60 or more.
int TimeTenths(int msss);
int TimeField(int tenths); // back to the m sss digits

} // namespace pado::sources
