#include "members/statistics.h"

#include "members/form2.h"

namespace pado {

void ShowCourseRecords(Form2&) {}
void ShowTrackConditionStats(Form2&) {}
void ShowVenueDistanceStats(Form2&) {}
void ShowEntrantRecordsWithJockey(Form2&) {}

}  // namespace pado
