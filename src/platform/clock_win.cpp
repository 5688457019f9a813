#include "platform/clock_win.h"

#include <windows.h>
#include <oleauto.h>

namespace {

double ToOleDate(SYSTEMTIME time) {
  time.wMilliseconds = 0;
  double date = 0;
  return SystemTimeToVariantTime(&time, &date) ? date : 0;
}

}  // namespace

double SystemClock::NowLocal() const {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return ToOleDate(now);
}

double SystemClock::NowUtc() const {
  SYSTEMTIME now;
  GetSystemTime(&now);
  return ToOleDate(now);
}

std::optional<DateTime> SystemClock::LocalToUtc(double local) const {
  SYSTEMTIME localTime;
  SYSTEMTIME utc;
  // No explicit zone: the machine's zone, with daylight saving at that date.
  if (!VariantTimeToSystemTime(local, &localTime) ||
      !TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utc)) {
    return std::nullopt;
  }
  return DateTime{utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond};
}
