#include "batch/meeting_collection.h"

#include "batch/calendar_arithmetic.h"

namespace {

// Earliest step of the daily walk from `seriesStart` that is not before now.
WallSeconds FirstStepFrom(WallSeconds seriesStart, WallSeconds now) {
  if (seriesStart >= now) return seriesStart;
  const WallSeconds days = (now - seriesStart + kSecondsPerDay - 1) / kSecondsPerDay;
  return seriesStart + days * kSecondsPerDay;
}

void AddOccurrences(AppointmentItem& series, const Meeting& seriesEntry, WallSeconds seriesStart,
                    WallSeconds frameEnd, long limit, const Clock& clock, MeetingList& meetings) {
  auto now = ToWallSeconds(clock.NowLocal());
  if (!now) return;
  long found = 0;
  for (WallSeconds t = FirstStepFrom(seriesStart, *now); t < frameEnd; t += kSecondsPerDay) {
    auto at = FromWallSeconds(t);
    if (!at) return;
    auto occurrence = series.GetOccurrence(*at);
    if (!occurrence) continue;
    Meeting entry = seriesEntry;
    entry.start = *at;
    entry.occurrence = true;
    entry.attendees = occurrence->RecipientCount();
    meetings.push_back(std::move(entry));
    if (++found == limit) return;
  }
}

void AddSeries(AppointmentItem& series, const Meeting& seriesEntry, WallSeconds startSec,
               WallSeconds frameEnd, const Clock& clock, RecurringQuestion& question,
               MeetingList& meetings) {
  auto fields = OleToDateTime(seriesEntry.start);
  if (!fields) return;
  const long limit = question.AskLimit(seriesEntry.subject, *fields);
  AddOccurrences(series, seriesEntry, startSec, frameEnd, limit, clock, meetings);
}

Meeting Unreadable(long index, AppointmentItem* item) {
  Meeting entry;
  entry.index = index;
  entry.unreadable = true;
  if (item) {
    entry.subject = item->Subject().value_or(u"");
    entry.start = item->Start().value_or(0);
  }
  return entry;
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
    // Each item is let go before the next is fetched.
    CalendarFolder::Fetched fetched = calendar->Fetch(i);
    if (!fetched.item) {
      if (fetched.unreadable) meetings.push_back(Unreadable(i, nullptr));
      continue;
    }
    AppointmentItem& item = *fetched.item;
    auto status = item.MeetingStatus();
    if (status == 0) continue;
    auto start = item.Start();
    auto startSec = start ? ToWallSeconds(*start) : std::nullopt;
    // What cannot be read cannot be ruled out of the frame.
    if (!status || !startSec) {
      meetings.push_back(Unreadable(i, &item));
      continue;
    }
    if (*startSec > *end) continue;
    auto recurring = item.IsRecurring();
    if (!recurring) {
      meetings.push_back(Unreadable(i, &item));
      continue;
    }
    if (!*recurring && *now > *startSec) continue;
    Meeting entry;
    entry.index = i;
    entry.start = *start;
    entry.subject = item.Subject().value_or(u"");
    if (*recurring) {
      AddSeries(item, entry, *startSec, *end, clock, question, meetings);
    } else {
      entry.attendees = item.RecipientCount();
      meetings.push_back(std::move(entry));
    }
  }
  return meetings;
}

std::shared_ptr<AppointmentItem> MeetingOpener::Open(const Meeting& meeting, bool* changed) {
  if (changed) *changed = false;
  std::shared_ptr<AppointmentItem> item;
  if (meeting.occurrence) {
    if (!series_ || seriesIndex_ != meeting.index) {
      series_ = calendar_.ItemAt(meeting.index);
      seriesIndex_ = meeting.index;
    }
    if (series_) item = series_->GetOccurrence(meeting.start);
  } else {
    series_.reset();
    item = calendar_.ItemAt(meeting.index);
  }
  if (!item) return nullptr;
  const auto start = item->Start();
  if ((start ? ToWallSeconds(*start) : std::nullopt) != ToWallSeconds(meeting.start)) {
    if (changed) *changed = true;
    return nullptr;
  }
  return item;
}
