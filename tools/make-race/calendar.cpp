#include "model.h"

namespace makerace {

int Weekday(int days)
{
    return days >= -4 ? (days + 4) % 7 : (days + 5) % 7 + 6;
}

} // namespace makerace
