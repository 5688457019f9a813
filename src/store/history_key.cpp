#include "store/history_key.h"

#include <charconv>

namespace {

// Six decimals, rounded exactly as printf's "%f" rounds, always with a point.
std::u16string SixDecimals(double value) {
  char digits[400];
  auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6);
  return std::u16string(digits, result.ptr);
}

}  // namespace

std::u16string FormatHistoryKey(const std::u16string& entryId,
                                const std::optional<std::u16string>& mobileNumber,
                                double meetingStart) {
  return entryId + u"_" + mobileNumber.value_or(u"(null)") + u"_" + SixDecimals(meetingStart);
}

std::string BuildHistoryKey(const std::u16string& entryId,
                            const std::optional<std::u16string>& mobileNumber,
                            double meetingStart, const CodePage& codePage) {
  return codePage.ToAnsi(FormatHistoryKey(entryId, mobileNumber, meetingStart));
}
