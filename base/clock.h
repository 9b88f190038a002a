#pragma once
// The current local time; tests replace the source.

#include "base/dates.h"

#include <functional>

TDateTime Now();
// An empty function restores the system clock.
void SetClock(std::function<TDateTime()> Source);
