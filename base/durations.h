#pragma once
// Spans between two times and their texts.

#include "base/dates.h"

#include <cstdint>
#include <string>

// Whole seconds between the two times (in either order), halves rounded to even; at most the
// span of the storable years.
int64_t DurationSeconds(TDateTime EndTime, TDateTime StartTime);
void DurationHMS(TDateTime EndTime, TDateTime StartTime, int32_t &Hours, int32_t &Minutes,
                 int32_t &Seconds);
// h..h:mm:ss, hours unwrapped.
std::string ClockText(int64_t Hours, int64_t Minutes, int64_t Seconds);
std::string DurationClockText(TDateTime EndTime, TDateTime StartTime);
// "H Std, M Min, S Sec" for the running measurement.
std::string DurationText(TDateTime EndTime, TDateTime StartTime);
// "H Std, M Min, S Sek" of a count of seconds (not negative), hours unwrapped: net times and
// sums of durations.
std::string SecondsText(int64_t Seconds);
