#pragma once

#include <optional>
#include <vector>

#include "platform/text.h"
#include "sources/race_records.h"

// The awkward fields of race CSV files, each read the way the common scraped tables and data sets write them.
// Every parser answers "unknown" (0, empty, nullopt) for text it cannot read rather than guessing.
namespace pado::sources::csv {

// Surrounding spaces removed, nothing else touched: for names and other texts.
Text Trim(const Text& field);
// Full-width digits, signs and parentheses to ASCII, surrounding spaces removed; the long-vowel mark ー stays,
// so names pass through unchanged.
Text Normalize(const Text& field);

// 2026-12-27, 2026/12/27, 2026年12月27日, 20261227 (two-digit years are 20xx); false when unreadable.
bool ParseDate(const Text& field, int& year, int& month, int& day);
// "2:27.1", "2.27.1", "1345" (m ss f), "59.8" in tenths of a second; 0 unknown.
int ParseTimeTenths(const Text& field);
// "34.8" (seconds) or "58", "55.5" (kilograms) in tenths; 0 unknown.
int ParseTenths(const Text& field);
// "15:25", "1525" as hhmm; -1 unknown.
int ParseStartTime(const Text& field);
// 着順: a placing, or 中止 取消 除外 失格, or a demoted placing such as "4(降)".
struct Finish {
    int place = 0;
    Abnormal abnormal = Abnormal::None;
    bool known = false;
};
Finish ParseFinish(const Text& field);
// "牡6", "セ5", "騸5": sex and age; sex 0 when unreadable.
void ParseSexAge(const Text& field, char32_t& sex, int& age);
char32_t ParseSex(const Text& field);
// "516(+4)", "516(-2)", "516(0)", "516", "計不".
void ParseBodyWeight(const Text& field, int& weight, int& change, bool& changeKnown);
// "+4", "-2", "0", "±0".
bool ParseWeightChange(const Text& field, int& change);
// 通過 "5-5-3-3": positions at the last corners (two numbers are corners 3 and 4).
void ParsePassing(const Text& field, int (&corners)[4]);
// 距離 "芝2500", "ダ1800", "芝右2500", "障3200", "2500m": surface (0 unknown), direction and metres.
void ParseCourse(const Text& field, char32_t& surface, char32_t& direction, int& distance);
char32_t ParseSurface(const Text& field); // 芝, ダ(ート), 障(害)
char32_t ParseGoing(const Text& field); // 良, 稍(重), 重, 不(良)
int GradeOfName(const Text& name); // (ＧＩ) 1, (ＧＩＩ) 2, (ＧＩＩＩ) 3, also (G1) and jump marks; 0 none
// A race id of the form yyyyVVKKDDRR (year, venue code, 回, 日目, race number).
bool ParseRaceId(const Text& field, RaceKey& key, int& meeting, int& meetingDay);

} // namespace pado::sources::csv
