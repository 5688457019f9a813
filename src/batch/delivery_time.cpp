#include "batch/delivery_time.h"

#include "batch/calendar_arithmetic.h"
#include "platform/ole_date.h"

std::optional<double> DeliveryTime(const SendMode& mode, double start) {
  switch (mode.kind) {
    case SendMode::Kind::Now: return 0.0;
    case SendMode::Kind::OnDate: return mode.fixedTime;
    case SendMode::Kind::ByLeadTime:
      if (!mode.leadUnit) return start;
      return ShiftByUnits(start, *mode.leadUnit, -static_cast<long long>(mode.leadCount));
  }
  return std::nullopt;
}

std::optional<double> CombineDateAndTime(double datePart, double timePart) {
  auto date = OleToDateTime(datePart);
  auto time = OleToDateTime(timePart);
  if (!date || !time) return std::nullopt;
  date->hour = time->hour;
  date->minute = time->minute;
  date->second = time->second;
  return DateTimeToOle(*date);
}
