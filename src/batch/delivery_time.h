#pragma once
#include <optional>

#include "batch/units.h"

// When the reminders of a run are to be delivered: at once, a lead time
// before each meeting's start, or all at one fixed date and time.
struct SendMode {
  enum class Kind { Now, ByLeadTime, OnDate };

  static SendMode Now() { return {Kind::Now, std::nullopt, 0, 0}; }
  static SendMode ByLeadTime(std::optional<Unit> unit, int count) {
    return {Kind::ByLeadTime, unit, count, 0};
  }
  static SendMode OnDate(double when) { return {Kind::OnDate, std::nullopt, 0, when}; }

  Kind kind;
  std::optional<Unit> leadUnit;  // unit none: the meeting's start itself
  int leadCount;
  double fixedTime;
};

// The delivery time of a meeting starting at `start` as a serial date, 0
// for delivery at once. nullopt when a lead time moves it outside the
// calendar's years. Past times are not refused: the gateway gets them.
std::optional<double> DeliveryTime(const SendMode& mode, double start);

// The date of `datePart` at the time of day of `timePart`, as the two date
// and time pickers give them.
std::optional<double> CombineDateAndTime(double datePart, double timePart);
