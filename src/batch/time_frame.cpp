#include "batch/time_frame.h"

#include "batch/calendar_arithmetic.h"

std::optional<double> TimeFrameEnd(const Clock& clock, std::optional<Unit> unit, int count) {
  const double now = clock.NowLocal();
  if (!unit) return now;
  switch (*unit) {
    case Unit::Today: return EndOfDay(now);
    case Unit::Tomorrow: {
      auto today = EndOfDay(now);
      if (!today) return std::nullopt;
      return ShiftByUnits(*today, Unit::Days, 1);
    }
    default: return ShiftByUnits(now, *unit, count);
  }
}
