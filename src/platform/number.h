#pragma once

#include "platform/text.h"

namespace pado {

// The leading decimal number of a text: leading half-width spaces skipped (right-aligned fields
// such as " 5" must read as 5), then an optional sign, digits, an optional "." and fraction.
// "." is the decimal mark whatever the locale. 0 when the text does not start with a number.
double LeadingNumber(const Text& s);
// The same, truncated toward zero to a whole number (fields such as distances and positions).
long LeadingInt(const Text& s);
// The nearest single-precision value, as the assist parameters and time gaps are kept.
float LeadingFloat(const Text& s);

} // namespace pado
