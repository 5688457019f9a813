#pragma once
#include <optional>
#include <utility>
#include <vector>

namespace standin {

// A recurring series' pattern and its exceptions. Occurrences share the
// time of day of the series' start.
struct Recurrence {
  enum class Pattern { kDaily, kWeekly, kMonthly };
  Pattern pattern = Pattern::kDaily;
  int interval = 1;  // every n days, weeks or months
  // Weekly: bit 0 Sunday .. bit 6 Saturday; 0 means the start's weekday.
  unsigned weekdays = 0;
  std::optional<long> count;    // end after this many occurrences
  std::optional<double> until;  // or on this date (inclusive)
  std::vector<double> deleted;  // original starts
  std::vector<std::pair<double, double>> moved;  // original start -> new start
};

struct Occurrence {
  double originalStart = 0;
  double start = 0;
};

// The occurrence of the series starting at `seriesStart` that starts
// exactly at `when` (to the second): a moved occurrence is found at its
// new time only, a deleted one not at all.
std::optional<Occurrence> FindOccurrence(const Recurrence& recurrence, double seriesStart,
                                         double when);

}  // namespace standin
