#include "store/history_csv.h"

#include <cmath>
#include <cstdio>

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string Utf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, IsHigh(c) || IsLow(c) ? 0xFFFD : c);
    }
  }
  return out;
}

std::string CsvField(const std::u16string& value) {
  std::string text = Utf8(value);
  if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@' || text[0] == '\t' ||
                        text[0] == '\r')) {
    text.insert(text.begin(), '\'');
  }
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string Iso8601Local(double local, const Clock& clock) {
  const std::optional<DateTime> fields = OleToDateTime(local);
  if (!local || !fields) return {};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", fields->year, fields->month, fields->day,
                fields->hour, fields->minute, fields->second);
  std::string result = text;
  const std::optional<DateTime> utcFields = clock.LocalToUtc(local);
  const std::optional<double> utc = utcFields ? DateTimeToOle(*utcFields) : std::nullopt;
  const std::optional<double> wall = DateTimeToOle(*fields);
  if (!utc || !wall) return result;
  const long minutes = std::lround((*wall - *utc) * 24 * 60);
  const long size = minutes < 0 ? -minutes : minutes;
  std::snprintf(text, sizeof text, "%c%02ld:%02ld", minutes < 0 ? '-' : '+', size / 60, size % 60);
  return result + text;
}

std::string HistoryCsv(const std::vector<const HistoryRow*>& rows, const Clock& clock) {
  std::string csv = "\xEF\xBB\xBF";
  csv += "Sent or scheduled,Name,Number,Meeting start,Text,Outcome\r\n";
  for (const HistoryRow* row : rows) {
    csv += Iso8601Local(row->when, clock) + ',' + CsvField(row->name) + ',' + CsvField(row->number) + ',' +
           Iso8601Local(row->meetingStart, clock) + ',' + CsvField(row->text) + ',';
    csv += row->uncertain ? "uncertain\r\n" : "accepted\r\n";
  }
  return csv;
}
