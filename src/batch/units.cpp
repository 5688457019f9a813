#include "batch/units.h"

#include <algorithm>

namespace {

std::optional<Unit> At(const std::vector<Unit>& list, int position) {
  if (position < 0 || position >= static_cast<int>(list.size())) return std::nullopt;
  return list[position];
}

int PositionOf(const std::vector<Unit>& list, int code) {
  auto it = std::find_if(list.begin(), list.end(),
                         [code](Unit u) { return static_cast<int>(u) == code; });
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

constexpr int kNoTimeFrameUnitCode = 1;
constexpr int kNoLeadTimeUnitCode = -1;

int CodeAt(const std::vector<Unit>& list, int position, int none) {
  const std::optional<Unit> unit = At(list, position);
  return unit ? static_cast<int>(*unit) : none;
}

}  // namespace

std::u16string UnitCaption(Unit unit) {
  switch (unit) {
    case Unit::Minutes: return u"Minutes";
    case Unit::Hours: return u"Hours";
    case Unit::Days: return u"Days";
    case Unit::Weeks: return u"Weeks";
    case Unit::Months: return u"Months";
    case Unit::Years: return u"Years";
    case Unit::Today: return u"Today";
    case Unit::Tomorrow: return u"Tomorrow";
  }
  return u"";
}

const std::vector<Unit>& TimeFrameUnits() {
  static const std::vector<Unit> kUnits = {Unit::Days,  Unit::Weeks, Unit::Months,
                                           Unit::Years, Unit::Today, Unit::Tomorrow};
  return kUnits;
}

const std::vector<Unit>& LeadTimeUnits() {
  static const std::vector<Unit> kUnits = {Unit::Minutes, Unit::Hours,  Unit::Days,
                                           Unit::Weeks,   Unit::Months, Unit::Years};
  return kUnits;
}

std::optional<Unit> TimeFrameUnitAt(int position) { return At(TimeFrameUnits(), position); }
std::optional<Unit> LeadTimeUnitAt(int position) { return At(LeadTimeUnits(), position); }
int TimeFramePositionOf(int code) { return PositionOf(TimeFrameUnits(), code); }
int LeadTimePositionOf(int code) { return PositionOf(LeadTimeUnits(), code); }
int TimeFrameCodeAt(int position) { return CodeAt(TimeFrameUnits(), position, kNoTimeFrameUnitCode); }
int LeadTimeCodeAt(int position) { return CodeAt(LeadTimeUnits(), position, kNoLeadTimeUnitCode); }
