#include "batch/template_filling.h"

#include <cstdio>

#include "platform/ole_date.h"

namespace {

// Replaces every match left to right, resuming behind each insertion.
void ReplaceAll(std::u16string& text, const std::u16string& placeholder,
                const std::u16string& value) {
  for (size_t at = text.find(placeholder); at != std::u16string::npos;
       at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
}

std::u16string Widen(const char* ascii) {
  return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii));
}

}  // namespace

std::u16string FillTemplate(const std::u16string& templateText, const std::u16string& firstName,
                            double meetingStart) {
  std::u16string text = templateText;
  ReplaceAll(text, u"[[first name]]", firstName);
  auto start = OleToDateTime(meetingStart);
  if (!start) return text;
  char date[32];
  char time[16];
  std::snprintf(date, sizeof date, "%02d/%02d/%04d", start->month, start->day, start->year);
  std::snprintf(time, sizeof time, "%02d:%02d", start->hour, start->minute);
  ReplaceAll(text, u"[[appt date]]", Widen(date));
  ReplaceAll(text, u"[[appt time]]", Widen(time));
  return text;
}
