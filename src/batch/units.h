#pragma once
#include <optional>
#include <string>
#include <vector>

// Units of the time frame and of the reminder lead time. The numeric codes
// are what the settings file stores for both lists.
enum class Unit {
  Minutes = 0,
  Hours = 1,
  Days = 2,
  Weeks = 3,
  Months = 4,
  Years = 5,
  Today = 6,
  Tomorrow = 7,
};

std::u16string UnitCaption(Unit unit);

// The choices of the time frame list and of the lead time list, in list
// order: the list position of each entry is its index here.
const std::vector<Unit>& TimeFrameUnits();
const std::vector<Unit>& LeadTimeUnits();

// The unit at a list position; nullopt (unit none) for a position outside
// the list, such as -1 for a list without a selection.
std::optional<Unit> TimeFrameUnitAt(int position);
std::optional<Unit> LeadTimeUnitAt(int position);

// The list position of a stored unit code, -1 when the list has no entry
// for it.
int TimeFramePositionOf(int code);
int LeadTimePositionOf(int code);

// The code stored for the entry at a list position. A list without a
// selection (position -1) stores 1 for the time frame and -1 for the lead
// time: codes that its list has no entry for, so that it opens again
// without a selection, as the settings files of earlier versions do.
int TimeFrameCodeAt(int position);
int LeadTimeCodeAt(int position);
