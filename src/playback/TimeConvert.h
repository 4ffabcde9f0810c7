#pragma once
#include <QString>

// Seconds as the time label shows them: minutes (not padded, not limited,
// no hours), ":" and two-digit seconds; "--:--:--Err" for a value that is not
// a number. The value is taken to the nearest whole second, halves to even.
QString TimeConvert(double seconds);

// A length in seconds taken to the nearest whole second, halves to even.
long long wholeSeconds(double seconds);
