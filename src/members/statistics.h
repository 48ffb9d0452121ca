#pragma once

namespace pado {

class Form2;

// The members window's statistics views; each empties the pane and lists every entrant.
void ShowCourseRecords(Form2& f); // finishing counts on turf, dirt and jump races
void ShowTrackConditionStats(Form2& f); // today's surface, good going and the rest
void ShowVenueDistanceStats(Form2& f); // today's venue and distance
void ShowEntrantRecordsWithJockey(Form2& f); // overall counts and the jockey's record at today's venue

} // namespace pado
