#pragma once
#include <optional>

#include "platform/clock.h"
#include "platform/ole_date.h"

// A clock that stands still unless told to move on, in a zone a fixed
// number of hours ahead of UTC: `now` is UTC, the local time is `now` plus
// those hours. With `step` set, every read of the local time moves `now`
// on by that many days; `reads` counts those reads.
class FixedClock : public Clock {
 public:
  explicit FixedClock(double nowUtc, int hoursAheadOfUtc = 0) : now(nowUtc), hoursAhead(hoursAheadOfUtc) {}
  double NowLocal() const override {
    ++reads;
    const double current = now + hoursAhead / 24.0;
    now += step;
    return current;
  }
  double NowUtc() const override { return now; }
  std::optional<DateTime> LocalToUtc(double local) const override {
    if (refuseConversion) return std::nullopt;
    return OleToDateTime(local - hoursAhead / 24.0);
  }

  mutable double now;
  int hoursAhead;
  double step = 0;
  mutable int reads = 0;
  bool refuseConversion = false;
};
