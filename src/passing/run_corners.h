#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "platform/text.h"

namespace pado {

class RaceDatabase;

// What a past run's record in the results database says about the corners: the order text of
// every corner it lists (the last two, three or all four), the horse's number in that race and
// how many runners the record lists.
struct RunCorners {
    int firstCorner = 3; // 1, 2 or 3; the record lists firstCorner .. 4
    std::array<Text, 5> orderTexts; // by corner number; [0] unused
    bool horseNumberKnown = false;
    double horseNumber = 0;
    std::size_t runnerCount = 0; // runner lines ("kg" in characters 24 to 25) up to the end line
};

// Looks a past run up and reads its corner block and runner lines. Nothing when the race is not in
// the database, when its record has no closing line or corner lines, or when the record ends before
// the end line or the horse's runner line; a record never borrows the next race's lines.
std::optional<RunCorners> ReadRunCorners(const RaceDatabase& db, const Text& runKeyText, const Text& horseName);

// Looks a past run up in the results database and grades the horse at every corner the race
// lists: the pad ("", 6 or 12 spaces, so corners 3 and 4 line up whatever the first listed
// corner) followed by a space and a marker per corner. Empty when the race is not in the
// database or its record has no usable corner data; a record that ends before its closing line,
// corner lines or the horse's runner line never borrows the next race's.
Text PassingMarkers(const RaceDatabase& db, const Text& runKeyText, const Text& horseName);

} // namespace pado
