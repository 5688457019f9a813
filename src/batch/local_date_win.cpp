#include "batch/local_date_win.h"

#include <windows.h>
#include <oleauto.h>

std::wstring LocalDate(double serial, bool dateOnly) {
  SYSTEMTIME time{};
  if (serial == 0 || !VariantTimeToSystemTime(serial, &time)) return {};
  wchar_t date[64] = {}, clock[64] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 64);
  if (dateOnly) return date;
  GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, 64);
  return std::wstring(date) + L" " + clock;
}
