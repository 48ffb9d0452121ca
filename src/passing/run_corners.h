#pragma once

#include "platform/text.h"

namespace pado {

class RaceDatabase;

// Looks a past run up in the results database and grades the horse at every corner the race
// lists: the pad ("", 6 or 12 spaces, so corners 3 and 4 line up whatever the first listed
// corner) followed by a space and a marker per corner. Empty when the race is not in the
// database or its record has no usable corner data; a record that ends before its closing line,
// corner lines or the horse's runner line never borrows the next race's.
Text PassingMarkers(const RaceDatabase& db, const Text& runKeyText, const Text& horseName);

} // namespace pado
