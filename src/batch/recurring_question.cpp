#include "batch/recurring_question.h"

#include <cstdio>
#include <utility>

namespace {

std::u16string Digits(int value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
  return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

}  // namespace

RecurringQuestion::RecurringQuestion(Prompt& prompt, std::u16string caption)
    : prompt_(prompt), caption_(std::move(caption)) {}

long RecurringQuestion::AskLimit(const std::u16string& subject, const DateTime& seriesStart) {
  return prompt_.AskYesNo(Text(subject, seriesStart), caption_) ? kAllOccurrences
                                                                 : kNextOccurrence;
}

std::u16string RecurringQuestion::Text(const std::u16string& subject, const DateTime& start) {
  return u"The meting " + subject + u" scheduled on " + Digits(start.year, 4) + u"-" +
         Digits(start.month, 2) + u"-" + Digits(start.day, 2) + u" at " + Digits(start.hour, 2) +
         u":" + Digits(start.minute, 2) +
         u" is a recurring one. Do you want to send SMS for all instances in specified time "
         u"frame?";
}
