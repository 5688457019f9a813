#pragma once
#include <memory>
#include <string>
#include <vector>

#include "addin/access/mail_items.h"
#include "batch/recurring_question.h"
#include "platform/clock.h"

// A meeting that gets reminders: a single meeting or one occurrence of a
// recurring series, never the series itself. It names the calendar item
// instead of holding it: a server may let a session keep only so many
// items open, so a run opens each meeting when it sends for it
// (OpenMeeting) and lets it go after.
struct Meeting {
  long index = 0;            // the item's number in the calendar folder
  double start = 0;          // as read when collected; for an occurrence, the start it was found at
  bool occurrence = false;   // `index` is then the series
  std::u16string subject;
  long attendees = 0;        // recipients when collected, for the run's progress
  // The item could not be read while collecting: it may be a meeting of
  // the frame, and the run says so. Only `index` and what could be read
  // (`subject`, `start`, zero when unknown) are set.
  bool unreadable = false;
};
using MeetingList = std::vector<Meeting>;

// The meetings of the default calendar that start between now and
// `frameEnd` (both included), in the folder's order, each recurring series
// replaced by its occurrences in date order. Plain appointments are
// skipped; items that cannot be read are listed as unreadable at their
// place. Every recurring series that starts by the end of the frame asks
// `question` once, before its occurrences are looked for. Occurrences are
// looked for day by day at the series' own time of day, so one moved to
// another time is not found. At most the item being read (with the
// occurrence being looked at) is open at any time.
MeetingList CollectMeetings(MailClient& client, double frameEnd, const Clock& clock,
                            RecurringQuestion& question);

// Opens collected meetings again as the calendar holds them now, one after
// another. The series of the last occurrence opened stays open until a
// meeting of another series or none is opened, as a series' occurrences
// follow one another in the list.
class MeetingOpener {
 public:
  explicit MeetingOpener(CalendarFolder& calendar) : calendar_(calendar) {}

  // nullptr when the meeting cannot be fetched or no longer starts when it
  // did (the calendar changed during the run); `changed` tells which.
  std::shared_ptr<AppointmentItem> Open(const Meeting& meeting, bool* changed = nullptr);

 private:
  CalendarFolder& calendar_;
  long seriesIndex_ = 0;
  std::shared_ptr<AppointmentItem> series_;
};

inline std::shared_ptr<AppointmentItem> OpenMeeting(CalendarFolder& calendar, const Meeting& meeting) {
  return MeetingOpener(calendar).Open(meeting);
}
