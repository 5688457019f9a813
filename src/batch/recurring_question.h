#pragma once
#include <string>

#include "platform/ole_date.h"
#include "platform/prompt.h"

// Asks whether reminders go to every occurrence of a recurring meeting in
// the time frame or only to the next one.
class RecurringQuestion {
 public:
  static constexpr long kAllOccurrences = 2147483647;
  static constexpr long kNextOccurrence = 1;

  RecurringQuestion(Prompt& prompt, std::u16string caption);

  // How many occurrences the user wants for the series with this subject,
  // which first started at `seriesStart`.
  long AskLimit(const std::u16string& subject, const DateTime& seriesStart);

  static std::u16string Text(const std::u16string& subject, const DateTime& seriesStart);

 private:
  Prompt& prompt_;
  std::u16string caption_;
};
