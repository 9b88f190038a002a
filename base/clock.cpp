#include "base/clock.h"

#include "base/dates.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <utility>

namespace {

std::function<TDateTime()> &ClockSource() {
    static std::function<TDateTime()> source;
    return source;
}

} // namespace

TDateTime Now() {
    if (ClockSource())
        return ClockSource()();
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    const int ms =
        static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&secs, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, std::min(local.tm_sec, 59), ms);
}

void SetClock(std::function<TDateTime()> Source) {
    ClockSource() = std::move(Source);
}
