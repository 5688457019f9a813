#pragma once
#include <optional>

#include "platform/ole_date.h"

// The machine's clock and time zone, as OLE Automation dates.
class Clock {
 public:
  virtual ~Clock() = default;
  // Current local wall-clock date and time.
  virtual double NowLocal() const = 0;
  // Current UTC date and time, milliseconds dropped.
  virtual double NowUtc() const = 0;
  // A local wall-clock date and time converted to UTC with the machine's
  // zone, daylight saving time at that date included; nullopt when the
  // platform cannot convert it.
  virtual std::optional<DateTime> LocalToUtc(double local) const = 0;
};
