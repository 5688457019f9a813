#pragma once
#include <optional>

#include "batch/units.h"
#include "platform/clock.h"

// The end of the meeting time frame that begins now: now moved forward by
// `count` units, the end of today or of tomorrow (count ignored), or now
// itself for unit none. A start equal to the end still lies in the frame.
// nullopt when the end falls outside the calendar's years.
std::optional<double> TimeFrameEnd(const Clock& clock, std::optional<Unit> unit, int count);
