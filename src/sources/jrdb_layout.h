#pragma once

// Byte positions (1-based) and lengths of the JRDB fields this program reads and writes, from JRDB's published
// layouts. Lengths are without the CR LF that ends each record.
namespace pado::sources::jrdb {

// The race key every race-level and runner-level record starts with.
constexpr int kVenue = 1, kYear = 3, kMeeting = 5, kDay = 6, kRace = 7;

namespace sed { // results, one runner of one race
constexpr int kLength = 374;
constexpr int kNumber = 9, kHorseId = 11, kDate = 19, kName = 27, kDistance = 63, kSurface = 67, kDirection = 68,
              kGoing = 70, kKind = 72, kClass = 74, kMark = 76, kWeightRule = 79, kGrade = 80, kRaceName = 81,
              kField = 131, kFinish = 141, kAbnormal = 143, kTime = 144, kCarried = 148, kJockey = 151, kOdds = 175,
              kPopularity = 181, kLast3f = 262, kCorner1 = 309, kJockeyId = 323, kBodyWeight = 333, kWeightChange = 336,
              kWeather = 339, kStartTime = 371;
} // namespace sed

namespace srb { // results, the race
constexpr int kLength = 850;
constexpr int kFurlongs = 9, kFurlongCount = 18, kCorner1 = 63, kCornerLength = 64;
} // namespace srb

namespace bac { // the race programme
constexpr int kLength = 182;
constexpr int kDate = 9, kStartTime = 17, kDistance = 21, kSurface = 25, kDirection = 26, kKind = 28, kClass = 30,
              kMark = 32, kWeightRule = 35, kGrade = 36, kRaceName = 37, kField = 95, kPrize1 = 126;
} // namespace bac

namespace kyi { // entrants
constexpr int kLength = 1022;
constexpr int kNumber = 9, kHorseId = 11, kName = 19, kJockey = 172, kCarried = 184, kFrame = 324, kJockeyId = 336,
              kScratched = 403, kSex = 404;
} // namespace kyi

namespace ukc { // horses
constexpr int kLength = 290;
constexpr int kHorseId = 1, kName = 9, kSex = 45, kBirthDate = 158;
} // namespace ukc

} // namespace pado::sources::jrdb
