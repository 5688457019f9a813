#pragma once
#include "platform/clock.h"

// The machine's clock and its current time zone.
class SystemClock : public Clock {
 public:
  double NowLocal() const override;
  double NowUtc() const override;
  std::optional<DateTime> LocalToUtc(double local) const override;
};
