#pragma once

// Byte positions (1-based) and lengths of the JV-Data record fields this program reads and writes, from the
// published JV-Data record layouts. Lengths are without the CR LF that ends each record.
namespace pado::sources::jv {

// The header and race identification every race-level and runner-level record starts with.
constexpr int kRecordType = 1, kDataKubun = 3, kMakeDate = 4, kYear = 12, kMonthDay = 16, kJyoCD = 20, kKaiji = 22,
              kNichiji = 24, kRaceNum = 26;

namespace ra {
constexpr int kLength = 1270;
constexpr int kHondai = 33, kNkai = 612, kFukasyokin1 = 810, kGradeCD = 615, kSyubetuCD = 617, kKigoCD = 619,
              kJyuryoCD = 622, kJyokenCD5 = 635, kKyori = 698, kTrackCD = 706, kHonsyokin1 = 714, kHassoTime = 874,
              kSyussoTosu = 884, kTenkoCD = 888, kSibaBabaCD = 889, kDirtBabaCD = 890, kLapTime1 = 891,
              kHaronTimeL3 = 976, kHaronTimeL4 = 979, kCorner1 = 982,
              kCornerStride = 72; // each slot: corner (1), laps (1), order (70)
} // namespace ra

namespace se {
constexpr int kLength = 553;
constexpr int kWakuban = 28, kUmaban = 29, kKettoNum = 31, kBamei = 41, kSexCD = 79, kBarei = 83, kFutan = 289,
              kKisyuCode = 297, kKisyuRyakusyo = 307, kBaTaijyu = 325, kZogenFugo = 328, kZogenSa = 329, kIJyoCD = 332,
              kKakuteiJyuni = 335, kTime = 339, kChakusaCD = 343, kJyuni1c = 352, kOdds = 360, kNinki = 364,
              kHaronTimeL3 = 391;
} // namespace se

namespace ks {
constexpr int kLength = 4171;
constexpr int kKisyuCode = 12, kKisyuName = 42, kKisyuRyakusyo = 140;
} // namespace ks

namespace um {
constexpr int kLength = 1607, kLengthBefore2023 = 1575;
constexpr int kKettoNum = 12, kBirthDate = 39, kBamei = 47, kSexCD = 201;
} // namespace um

} // namespace pado::sources::jv
