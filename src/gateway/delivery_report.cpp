#include "gateway/delivery_report.h"

std::u16string BuildDeliveryReport(const std::vector<std::u16string>& lines) {
  std::u16string report = u"SMS delivery results:\n\n";
  for (const std::u16string& line : lines) {
    report += line;
    report += u'\n';
  }
  return report;
}

std::vector<std::u16string> ReportLines(const std::vector<const SMSMessage*>& records) {
  std::vector<std::u16string> lines;
  lines.reserve(records.size());
  for (const SMSMessage* record : records) lines.push_back(record->ReportLine());
  return lines;
}
