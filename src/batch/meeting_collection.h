#pragma once
#include <memory>
#include <vector>

#include "addin/access/mail_items.h"
#include "batch/recurring_question.h"
#include "platform/clock.h"

// A meeting that gets reminders: a single meeting or one occurrence of a
// recurring series, never the series itself. The list holds the items for
// the length of a run.
struct Meeting {
  std::shared_ptr<AppointmentItem> item;
  double start;  // as read when collected; for an occurrence, the start it was found at
};
using MeetingList = std::vector<Meeting>;

// The meetings of the default calendar that start between now and
// `frameEnd` (both included), in the folder's order, each recurring series
// replaced by its occurrences in date order. Plain appointments and items
// that cannot be read are skipped. Every recurring series that starts by
// the end of the frame asks `question` once, before its occurrences are
// looked for. Occurrences are looked for day by day at the series' own time
// of day, so one moved to another time is not found.
MeetingList CollectMeetings(MailClient& client, double frameEnd, const Clock& clock,
                            RecurringQuestion& question);
