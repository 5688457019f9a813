#include "batch/meeting_collection.h"

#include "batch/calendar_arithmetic.h"

namespace {

// Earliest step of the daily walk from `seriesStart` that is not before now.
WallSeconds FirstStepFrom(WallSeconds seriesStart, WallSeconds now) {
  if (seriesStart >= now) return seriesStart;
  const WallSeconds days = (now - seriesStart + kSecondsPerDay - 1) / kSecondsPerDay;
  return seriesStart + days * kSecondsPerDay;
}

void AddOccurrences(AppointmentItem& series, WallSeconds seriesStart, WallSeconds frameEnd,
                    long limit, const Clock& clock, MeetingList& meetings) {
  auto now = ToWallSeconds(clock.NowLocal());
  if (!now) return;
  long found = 0;
  for (WallSeconds t = FirstStepFrom(seriesStart, *now); t < frameEnd; t += kSecondsPerDay) {
    auto at = FromWallSeconds(t);
    if (!at) return;
    auto occurrence = series.GetOccurrence(*at);
    if (!occurrence) continue;
    meetings.push_back({std::move(occurrence), *at});
    if (++found == limit) return;
  }
}

void AddSeries(const std::shared_ptr<AppointmentItem>& series, double start, WallSeconds startSec,
               WallSeconds frameEnd, const Clock& clock, RecurringQuestion& question,
               MeetingList& meetings) {
  auto fields = OleToDateTime(start);
  if (!fields) return;
  const long limit = question.AskLimit(series->Subject().value_or(u""), *fields);
  AddOccurrences(*series, startSec, frameEnd, limit, clock, meetings);
}

}  // namespace

MeetingList CollectMeetings(MailClient& client, double frameEnd, const Clock& clock,
                            RecurringQuestion& question) {
  MeetingList meetings;
  auto calendar = client.DefaultCalendar();
  auto end = ToWallSeconds(frameEnd);
  auto now = ToWallSeconds(clock.NowLocal());
  if (!calendar || !end || !now) return meetings;
  const long count = calendar->Count();
  for (long i = 1; i <= count; ++i) {
    auto item = calendar->ItemAt(i);
    if (!item || item->MeetingStatus().value_or(0) == 0) continue;
    auto start = item->Start();
    auto startSec = start ? ToWallSeconds(*start) : std::nullopt;
    if (!startSec || *startSec > *end) continue;
    auto recurring = item->IsRecurring();
    if (!recurring) continue;
    if (*recurring) {
      AddSeries(item, *start, *startSec, *end, clock, question, meetings);
    } else if (*now <= *startSec) {
      meetings.push_back({std::move(item), *start});
    }
  }
  return meetings;
}
