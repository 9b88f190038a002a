#include "base/durations.h"

#include "base/dates.h"
#include "base/numbers.h"

#include <algorithm>
#include <cmath>

int64_t DurationSeconds(TDateTime EndTime, TDateTime StartTime) {
    // The subtraction of two day counts leaves noise (59.5 s comes out as 59.4999...): settle
    // it at the millisecond first. nearbyint then rounds halves to the even neighbour.
    double apart = std::round(SecondsApart(EndTime, StartTime) * 1000.0) / 1000.0;
    // No two storable times lie further apart; NaN and beyond are pinned so the cast is defined.
    constexpr double MaxSpan = (MaxStorableMSecs - MinStorableMSecs) / 1000.0;
    apart = std::isnan(apart) ? 0.0 : std::min(apart, MaxSpan);
    return static_cast<int64_t>(std::nearbyint(apart));
}

void DurationHMS(TDateTime EndTime, TDateTime StartTime, int32_t &Hours, int32_t &Minutes,
                 int32_t &Seconds) {
    const int64_t secs = DurationSeconds(EndTime, StartTime);
    Hours = static_cast<int32_t>(secs / 3600);
    Minutes = static_cast<int32_t>(secs / 60 % 60);
    Seconds = static_cast<int32_t>(secs % 60);
}

std::string ClockText(int64_t Hours, int64_t Minutes, int64_t Seconds) {
    return PadNum(Hours, 2, '0') + ":" + PadNum(Minutes, 2, '0') + ":" + PadNum(Seconds, 2, '0');
}

std::string DurationClockText(TDateTime EndTime, TDateTime StartTime) {
    int32_t h, m, s;
    DurationHMS(EndTime, StartTime, h, m, s);
    return ClockText(h, m, s);
}

std::string DurationText(TDateTime EndTime, TDateTime StartTime) {
    int32_t h, m, s;
    DurationHMS(EndTime, StartTime, h, m, s);
    return std::to_string(h) + " Std, " + std::to_string(m) + " Min, " + std::to_string(s) + " Sec";
}

std::string SecondsText(int64_t Seconds) {
    return std::to_string(Seconds / 3600) + " Std, " + std::to_string(Seconds / 60 % 60) +
           " Min, " + std::to_string(Seconds % 60) + " Sek";
}
