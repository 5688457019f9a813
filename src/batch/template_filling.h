#pragma once
#include <string>

// Fills a reminder template for one attendee of one meeting: every
// "[[first name]]", then every "[[appt date]]" (month/day/year), then every
// "[[appt time]]" (24-hour hours:minutes) is replaced, in that order, so a
// later placeholder inside an earlier replacement is replaced too.
// Placeholders match exactly, case included. `meetingStart` is the
// wall-clock serial date as the calendar shows it.
std::u16string FillTemplate(const std::u16string& templateText, const std::u16string& firstName,
                            double meetingStart);
